<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name></name>
    <message id="IDS_MSG_STARTUP">
        <source>No document was opened. Open a password-protected PDF with pdfunlock, for example with “Open With” in your file manager.</source>
        <translation>Es wurde kein Dokument geöffnet. Öffnen Sie ein passwortgeschütztes PDF mit pdfunlock, zum Beispiel über „Öffnen mit“ im Dateimanager.</translation>
    </message>
    <message id="IDS_MSG_MULTIFILES">
        <source>Several documents were opened at once. pdfunlock handles one document at a time; for several with the same password, choose “Remove passwords from several PDFs” under “Open With”, or use pdfunlock-cli in a terminal.</source>
        <translation>Es wurden mehrere Dokumente gleichzeitig geöffnet. pdfunlock bearbeitet jeweils ein Dokument; für mehrere mit demselben Passwort wählen Sie unter „Öffnen mit“ den Eintrag „Passwörter mehrerer PDFs entfernen“ oder verwenden Sie pdfunlock-cli im Terminal.</translation>
    </message>
    <message id="IDS_MSG_NO_PWD">
        <source>This PDF is not protected by a password, so there is nothing to remove.</source>
        <translation>Dieses PDF ist nicht durch ein Passwort geschützt. Es gibt nichts zu entfernen.</translation>
    </message>
    <message id="IDS_MSG_NO_TESSIVON">
        <source>This file cannot be processed. pdfunlock only processes unrestricted PDF documents created by Tessivon scanning software.</source>
        <translation>Diese Datei kann nicht verarbeitet werden. pdfunlock verarbeitet nur uneingeschränkte PDF-Dokumente, die mit der Scan-Software von Tessivon erstellt wurden.</translation>
    </message>
    <message id="IDS_MSG_COMPLETE">
        <source>The password was removed. An unprotected copy was saved in the same folder as the original.</source>
        <translation>Das Passwort wurde entfernt. Eine ungeschützte Kopie wurde im selben Ordner wie das Original gespeichert.</translation>
    </message>
    <message id="IDS_MSG_FAILED">
        <source>The unprotected copy could not be saved.</source>
        <translation>Die ungeschützte Kopie konnte nicht gespeichert werden.</translation>
    </message>
    <message id="IDS_MSG_INVALIDPWD">
        <source>The password is incorrect. Please try again.</source>
        <translation>Das Passwort ist falsch. Bitte versuchen Sie es erneut.</translation>
    </message>
    <message id="IDS_PWD">
        <source>Enter the document’s password to save an unprotected copy.</source>
        <translation>Geben Sie das Passwort des Dokuments ein, um eine ungeschützte Kopie zu speichern.</translation>
    </message>
    <message id="IDS_BATCH_COPY_THERE">
        <source>Skipped: an unprotected copy from an earlier run is already there.</source>
        <translation>Übersprungen: Eine ungeschützte Kopie aus einem früheren Durchgang ist bereits vorhanden.</translation>
    </message>
    <message id="IDS_BATCH_NOT_STARTED">
        <source>Not processed: the batch was cancelled.</source>
        <translation>Nicht bearbeitet: Der Vorgang wurde abgebrochen.</translation>
    </message>
    <message id="IDS_BATCH_COPY_NAME_HELD">
        <source>The password was removed. A file of another owner, or a link, held the copy’s name: the unprotected copy was saved under the next free name.</source>
        <translation>Das Passwort wurde entfernt. Der Name der Kopie war durch die Datei eines anderen Besitzers oder durch einen Link belegt: Die ungeschützte Kopie wurde unter dem nächsten freien Namen gespeichert.</translation>
    </message>
    <message id="IDS_BATCH_CHANGED_WHILE_READ">
        <source>Not copied: the file changed while it was read.</source>
        <translation>Nicht kopiert: Die Datei wurde geändert, während sie gelesen wurde.</translation>
    </message>
    <message id="IDS_BATCH_MOVED">
        <source>Not processed: the file’s folder was moved or replaced after it was read.</source>
        <translation>Nicht bearbeitet: Der Ordner der Datei wurde verschoben oder ersetzt, nachdem er gelesen wurde.</translation>
    </message>
    <message id="IDS_BATCH_LINK_SKIPPED">
        <source>Skipped: a symbolic link, not followed.</source>
        <translation>Übersprungen: ein symbolischer Link, dem nicht gefolgt wird.</translation>
    </message>
    <message id="IDS_BATCH_FOLDER_UNREADABLE">
        <source>This folder could not be read; the PDFs in it were not processed.</source>
        <translation>Dieser Ordner konnte nicht gelesen werden; die PDFs darin wurden nicht bearbeitet.</translation>
    </message>
    <message id="IDS_BATCH_NO_PDF">
        <source>No PDF was found.</source>
        <translation>Es wurde keine PDF-Datei gefunden.</translation>
    </message>
    <message id="IDS_BATCH_PASSWORD_PROMPT">
        <source>Password of the documents: </source>
        <translation>Passwort der Dokumente: </translation>
    </message>
    <message id="IDS_BATCH_PASSWORD_TOO_LONG">
        <source>The line read for the password is longer than %1 bytes. No PDF password is that long: check what the password is read from.</source>
        <translation>Die für das Passwort gelesene Zeile ist länger als %1 Byte. So lang ist kein PDF-Passwort: Prüfen Sie, woraus das Passwort gelesen wird.</translation>
    </message>
    <message id="IDS_BATCH_PROGRESS">
        <source>%1 of %2 files done, %3 elapsed</source>
        <translation>%1 von %2 Dateien fertig, %3 vergangen</translation>
    </message>
    <message id="IDS_BATCH_SUMMARY">
        <source>Unprotected copies saved: %1 of %2 files.</source>
        <translation>Ungeschützte Kopien gespeichert: %1 von %2 Dateien.</translation>
    </message>
    <message id="IDS_BATCH_SUMMARY_ALREADY">
        <source>Copied in an earlier run, left as they are: %1.</source>
        <translation>Bereits in einem früheren Durchgang kopiert, unverändert gelassen: %1.</translation>
    </message>
    <message id="IDS_BATCH_SUMMARY_REFUSED">
        <source>Not copied: %1, for these reasons:</source>
        <translation>Nicht kopiert: %1, aus diesen Gründen:</translation>
    </message>
    <message id="IDS_BATCH_SUMMARY_CANCELLED">
        <source>Cancelled: %1 files were not processed.</source>
        <translation>Abgebrochen: %1 Dateien wurden nicht bearbeitet.</translation>
    </message>
    <message id="IDS_BATCH_LOOKING">
        <source>Looking for PDFs… %1 found so far.</source>
        <translation>PDF-Dateien werden gesucht … bisher %1 gefunden.</translation>
    </message>
    <message id="IDS_BATCH_STOPPING">
        <source>Cancelling: the documents under way are being finished.</source>
        <translation>Wird abgebrochen: Die begonnenen Dokumente werden noch fertiggestellt.</translation>
    </message>
    <message id="IDS_BATCH_CLOSING">
        <source>Closing: the documents under way are being finished, then the window closes.</source>
        <translation>Wird geschlossen: Die begonnenen Dokumente werden noch fertiggestellt, dann schließt sich das Fenster.</translation>
    </message>
    <message id="IDS_BATCH_REPORT_FAILED">
        <source>The report could not be saved.</source>
        <translation>Der Bericht konnte nicht gespeichert werden.</translation>
    </message>
    <message id="IDS_UI_PASSWORD">
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message id="IDS_UI_REMOVE">
        <source>&amp;Remove Password</source>
        <translation>Passwort &amp;entfernen</translation>
    </message>
    <message id="IDS_UI_CLOSE">
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message id="IDS_UI_BATCH_TITLE" numerus="yes">
        <source>%n document(s)</source>
        <translation>
            <numerusform>%n Dokument</numerusform>
            <numerusform>%n Dokumente</numerusform>
        </translation>
    </message>
    <message id="IDS_UI_BATCH_PROMPT">
        <source>Enter the password these documents share to save an unprotected copy of each beside it.</source>
        <translation>Geben Sie das gemeinsame Passwort dieser Dokumente ein, um von jedem eine ungeschützte Kopie daneben zu speichern.</translation>
    </message>
    <message id="IDS_UI_BATCH_DOCUMENTS">
        <source>Documents</source>
        <translation>Dokumente</translation>
    </message>
    <message id="IDS_UI_BATCH_DOCUMENT">
        <source>Document</source>
        <translation>Dokument</translation>
    </message>
    <message id="IDS_UI_BATCH_STATE">
        <source>State</source>
        <translation>Status</translation>
    </message>
    <message id="IDS_UI_BATCH_COPY">
        <source>Copy</source>
        <translation>Kopie</translation>
    </message>
    <message id="IDS_UI_BATCH_PROGRESS">
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message id="IDS_UI_BATCH_START">
        <source>&amp;Start</source>
        <translation>S&amp;tarten</translation>
    </message>
    <message id="IDS_UI_BATCH_RETRY">
        <source>&amp;Retry with New Password</source>
        <translation>Mit neuem Passwort &amp;wiederholen</translation>
    </message>
    <message id="IDS_UI_BATCH_CANCEL">
        <source>Cance&amp;l</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message id="IDS_UI_BATCH_WAITING">
        <source>Waiting</source>
        <translation>Wartet</translation>
    </message>
    <message id="IDS_UI_BATCH_COPIED">
        <source>Copy saved</source>
        <translation>Kopie gespeichert</translation>
    </message>
    <message id="IDS_UI_BATCH_ALREADY_COPIED">
        <source>Copy already there</source>
        <translation>Kopie schon vorhanden</translation>
    </message>
    <message id="IDS_UI_BATCH_WRONG_PASSWORD">
        <source>Wrong password</source>
        <translation>Falsches Passwort</translation>
    </message>
    <message id="IDS_UI_BATCH_NOT_PROTECTED">
        <source>Not protected</source>
        <translation>Nicht geschützt</translation>
    </message>
    <message id="IDS_UI_BATCH_REFUSED">
        <source>Cannot be processed</source>
        <translation>Nicht verarbeitbar</translation>
    </message>
    <message id="IDS_UI_BATCH_FAILED">
        <source>Not saved</source>
        <translation>Nicht gespeichert</translation>
    </message>
    <message id="IDS_UI_BATCH_CANCELLED">
        <source>Cancelled</source>
        <translation>Abgebrochen</translation>
    </message>
    <message id="IDS_UI_BATCH_REASON">
        <source>Reason</source>
        <translation>Grund</translation>
    </message>
    <message id="IDS_UI_BATCH_STATE_REASON">
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message id="IDS_UI_BATCH_DETAILS">
        <source>%1 — %2</source>
        <translation>%1 – %2</translation>
    </message>
    <message id="IDS_UI_BATCH_DETAILS_COPY">
        <source>%1 — %2 — copy: %3</source>
        <translation>%1 – %2 – Kopie: %3</translation>
    </message>
    <message id="IDS_UI_BATCH_CURRENT">
        <source>Current document</source>
        <translation>Aktuelles Dokument</translation>
    </message>
    <message id="IDS_UI_BATCH_STATUS">
        <source>How the batch went</source>
        <translation>Stand der Bearbeitung</translation>
    </message>
    <message id="IDS_UI_BATCH_ADD_FILES">
        <source>Add &amp;Files…</source>
        <translation>&amp;Dateien hinzufügen …</translation>
    </message>
    <message id="IDS_UI_BATCH_ADD_FOLDER">
        <source>Add Fol&amp;der…</source>
        <translation>&amp;Ordner hinzufügen …</translation>
    </message>
    <message id="IDS_UI_BATCH_PDF_FILTER">
        <source>PDF documents (*.pdf *.PDF)</source>
        <translation>PDF-Dokumente (*.pdf *.PDF)</translation>
    </message>
    <message id="IDS_UI_BATCH_SHOW_PASSWORD">
        <source>S&amp;how password</source>
        <translation>Passwort an&amp;zeigen</translation>
    </message>
    <message id="IDS_UI_BATCH_OPEN_FOLDER">
        <source>&amp;Open Folder</source>
        <translation>Ordner ö&amp;ffnen</translation>
    </message>
    <message id="IDS_UI_BATCH_SAVE_REPORT">
        <source>Save Re&amp;port…</source>
        <translation>&amp;Bericht speichern …</translation>
    </message>
    <message id="IDS_UI_BATCH_REPORT_CSV">
        <source>CSV table (*.csv)</source>
        <translation>CSV-Tabelle (*.csv)</translation>
    </message>
    <message id="IDS_UI_BATCH_REPORT_JSON">
        <source>JSON lines (*.jsonl)</source>
        <translation>JSON-Zeilen (*.jsonl)</translation>
    </message>
    <message id="IDS_UI_BATCH_UNSAVED_REPORT">
        <source>Some documents were not copied, and the report of this batch has not been saved. Save it before closing?</source>
        <translation>Einige Dokumente wurden nicht kopiert, und der Bericht dieses Durchgangs ist noch nicht gespeichert. Vor dem Schließen speichern?</translation>
    </message>
</context>
</TS>

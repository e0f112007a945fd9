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
        <source>Several documents were opened at once. Please open one document at a time.</source>
        <translation>Es wurden mehrere Dokumente gleichzeitig geöffnet. Bitte öffnen Sie jeweils nur ein Dokument.</translation>
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
    <message id="IDS_UI_BATCH_WORKING">
        <source>Working…</source>
        <translation>In Arbeit…</translation>
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
</context>
</TS>

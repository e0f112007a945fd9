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
        <source>%1/%2 done, %3 failed, %4</source>
        <translation>%1/%2 fertig, %3 Fehler, %4</translation>
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
    <message id="IDS_CLI_NEEDS_SECONDS">
        <source>%1 needs a number of seconds up to 3600.</source>
        <translation>%1 braucht eine Anzahl Sekunden bis 3600.</translation>
    </message>
    <message id="IDS_CLI_WATCH_ONLY">
        <source>%1 goes with --watch only.</source>
        <translation>%1 gibt es nur zusammen mit --watch.</translation>
    </message>
    <message id="IDS_WATCH_POLLING">
        <source>%1: the system gives no events for this folder; it is looked at every few seconds instead.</source>
        <translation>%1: Das System meldet für diesen Ordner keine Änderungen; er wird stattdessen alle paar Sekunden durchgesehen.</translation>
    </message>
    <message id="IDS_WATCH_FOLDER_GONE">
        <source>%1: the watched folder was deleted or moved; it is no longer watched.</source>
        <translation>%1: Der überwachte Ordner wurde gelöscht oder verschoben; er wird nicht mehr überwacht.</translation>
    </message>
    <message id="IDS_WATCH_NONE_LEFT">
        <source>No watched folder is left.</source>
        <translation>Es ist kein überwachter Ordner mehr übrig.</translation>
    </message>
    <message id="IDS_WATCH_PASSWORD_FILE_OPEN">
        <source>%1 may be read or written by other users. A password file for --watch must be yours and readable only by you: chmod 600 %1</source>
        <translation>%1 darf von anderen Benutzern gelesen oder geschrieben werden. Eine Passwortdatei für --watch muss Ihnen gehören und nur für Sie lesbar sein: chmod 600 %1</translation>
    </message>
    <message id="IDS_BATCH_PASSWORD_ENTRY">
        <source>password %1 of the list</source>
        <translation>Passwort %1 der Liste</translation>
    </message>
    <message id="IDS_BATCH_PASSWORD_HINT">
        <source>– wrong password? The first %1 refused it</source>
        <translation>– Passwort falsch? Erste %1 abgelehnt</translation>
    </message>
    <message id="IDS_BATCH_STOPPED">
        <source>Stopped: the first %1 files all refused the password.</source>
        <translation>Angehalten: Die ersten %1 Dateien haben das Passwort alle abgelehnt.</translation>
    </message>
    <message id="IDS_REASON_COPIED">
        <source>copied</source>
        <translation>kopiert</translation>
    </message>
    <message id="IDS_REASON_COPIED_NAME_HELD">
        <source>copied under the next free name (the name was held)</source>
        <translation>unter dem nächsten freien Namen kopiert (der Name war belegt)</translation>
    </message>
    <message id="IDS_REASON_COPIED_BEFORE">
        <source>copied before, left as it is</source>
        <translation>schon früher kopiert, unverändert gelassen</translation>
    </message>
    <message id="IDS_REASON_NOT_PROTECTED">
        <source>not protected by a password</source>
        <translation>nicht durch ein Passwort geschützt</translation>
    </message>
    <message id="IDS_REASON_REFUSED_ORIGIN">
        <source>not from Tessivon scanning software</source>
        <translation>nicht von der Tessivon-Scansoftware</translation>
    </message>
    <message id="IDS_REASON_REFUSED_PERMISSION">
        <source>a permission is refused</source>
        <translation>eine Berechtigung wird verweigert</translation>
    </message>
    <message id="IDS_REASON_WRONG_PASSWORD">
        <source>wrong password</source>
        <translation>falsches Passwort</translation>
    </message>
    <message id="IDS_REASON_NOT_FOUND">
        <source>not found</source>
        <translation>nicht gefunden</translation>
    </message>
    <message id="IDS_REASON_NOT_A_REGULAR_FILE">
        <source>not a regular file</source>
        <translation>keine reguläre Datei</translation>
    </message>
    <message id="IDS_REASON_UNREADABLE">
        <source>cannot be read</source>
        <translation>nicht lesbar</translation>
    </message>
    <message id="IDS_REASON_EMPTY">
        <source>empty (0 bytes): still being written?</source>
        <translation>leer (0 Byte): wird die Datei noch geschrieben?</translation>
    </message>
    <message id="IDS_REASON_DAMAGED">
        <source>damaged, cut short or not a PDF</source>
        <translation>beschädigt, unvollständig oder kein PDF</translation>
    </message>
    <message id="IDS_REASON_CHANGED_WHILE_READ">
        <source>changed while it was read</source>
        <translation>während des Lesens geändert</translation>
    </message>
    <message id="IDS_REASON_SAVE_FAILED">
        <source>the copy could not be saved</source>
        <translation>die Kopie konnte nicht gespeichert werden</translation>
    </message>
    <message id="IDS_REASON_TOO_MANY_OPEN_FILES">
        <source>too many open files</source>
        <translation>zu viele geöffnete Dateien</translation>
    </message>
    <message id="IDS_REASON_LINK_NOT_FOLLOWED">
        <source>a symbolic link, not followed</source>
        <translation>ein symbolischer Link, dem nicht gefolgt wird</translation>
    </message>
    <message id="IDS_REASON_FOLDER_UNREADABLE">
        <source>folder cannot be read</source>
        <translation>Ordner nicht lesbar</translation>
    </message>
    <message id="IDS_REASON_FOLDER_MOVED">
        <source>its folder was moved or replaced</source>
        <translation>sein Ordner wurde verschoben oder ersetzt</translation>
    </message>
    <message id="IDS_REASON_NOT_STARTED">
        <source>not started</source>
        <translation>nicht begonnen</translation>
    </message>
    <message id="IDS_DETAIL_READ_ONLY">
        <source>read-only file system</source>
        <translation>schreibgeschütztes Dateisystem</translation>
    </message>
    <message id="IDS_DETAIL_NO_SPACE">
        <source>no space left</source>
        <translation>kein Speicherplatz mehr</translation>
    </message>
    <message id="IDS_DETAIL_NAME_TOO_LONG">
        <source>name too long</source>
        <translation>Name zu lang</translation>
    </message>
    <message id="IDS_DETAIL_NAME_TAKEN">
        <source>name taken</source>
        <translation>Name belegt</translation>
    </message>
    <message id="IDS_DETAIL_NO_PERMISSION">
        <source>permission denied</source>
        <translation>keine Berechtigung</translation>
    </message>
    <message id="IDS_DETAIL_TOO_LARGE">
        <source>file too large</source>
        <translation>Datei zu groß</translation>
    </message>
    <message id="IDS_DETAIL_NO_FREE_NAME">
        <source>no free name for the copy</source>
        <translation>kein freier Name für die Kopie</translation>
    </message>
    <message id="IDS_DETAIL_COPY_UNREADABLE">
        <source>the copy did not read back whole</source>
        <translation>die Kopie ließ sich nicht vollständig wieder lesen</translation>
    </message>
    <message id="IDS_DETAIL_OTHER_SECURITY">
        <source>locked by another security handler</source>
        <translation>mit einem anderen Sicherheitsverfahren gesperrt</translation>
    </message>
    <message id="IDS_PERMISSION_PRINT">
        <source>printing</source>
        <translation>Drucken</translation>
    </message>
    <message id="IDS_PERMISSION_COPY">
        <source>copying text and images</source>
        <translation>Kopieren von Text und Bildern</translation>
    </message>
    <message id="IDS_PERMISSION_ANNOTATE">
        <source>commenting</source>
        <translation>Kommentieren</translation>
    </message>
    <message id="IDS_PERMISSION_FILL_FORMS">
        <source>filling in forms</source>
        <translation>Ausfüllen von Formularen</translation>
    </message>
    <message id="IDS_PERMISSION_MODIFY">
        <source>changing the document</source>
        <translation>Ändern des Dokuments</translation>
    </message>
    <message id="IDS_PERMISSION_ASSEMBLE">
        <source>assembling the document</source>
        <translation>Zusammenstellen des Dokuments</translation>
    </message>
    <message id="IDS_PERMISSION_ACCESSIBILITY">
        <source>content accessibility</source>
        <translation>Zugriff für Barrierefreiheit</translation>
    </message>
    <message id="IDS_CLI_HELP">
        <source>Usage: pdfunlock-cli [OPTION]... [--] PATH...
Saves an unprotected copy of every locked PDF from Tessivon scanning software
among PATH (scan.pdf gives scan_copy.pdf), beside it or under --output-dir.
Each PATH is a PDF or a folder; folders are searched, with their subfolders,
for files named *.pdf in any letter case. The search follows no symbolic
link: a link named *.pdf or leading to a folder is reported, not followed.

The password is asked for once, on the terminal, without echo; a line of
more than %1 bytes is refused.

      --password-stdin      read the password from the first line of standard
                            input (only the line ending is removed)
      --password-file FILE  read the password from the first line of FILE
      --password-list FILE  try the passwords of FILE, one a line, in turn
                            (at most %2; blank lines are skipped)
      --files-from FILE     also take the PATHs listed in FILE, one a line
                            (- for standard input)
  -0, --null                the names of --files-from end with a NUL byte
  -o, --output-dir DIR      save the copies under DIR (a folder searched keeps
                            its subfolders there); the sources are only read
  -j, --jobs N              work on N files at once (default: the number of
                            processors this process may use); while a copy
                            is written to the disk, another file is started
      --json                one JSON object per file on standard output
  -q, --quiet               print only the files that need attention
      --again               also copy files that already have a copy from an
                            earlier run
      --stop-on-wrong-password
                            start no file once the first %3 all refused the
                            password
      --watch               keep watching the folders PATH: after what they
                            hold, each PDF that arrives, once its writer has
                            closed it, until SIGINT or SIGTERM
      --settle SECONDS      with --watch, take a file once its size and times
                            stayed the same for SECONDS (default 2)
      --poll SECONDS        with --watch, look at the folders every SECONDS
                            instead of waiting for the system's events
  -h, --help                print this help and exit
      --version             print the version and exit
  --                        end of options: every word after it is a PATH

Each file's line says in a few words how it ended, with the copy's name; with
--json its "reason" is a fixed code (see the manual page). The summary on
standard error names the files not copied, by reason. A file an earlier run
copied is not copied again unless --again is given. Ctrl-C stops starting
files; the ones under way finish.

Exit status:
  0    every file copied, now or before, or nothing to do
  1    at least one file needs attention
  2    usage error, no password read, or a named PATH does not exist
  3    no failure, but files left alone: not protected or not from Tessivon
  130  stopped by SIGINT (143: SIGTERM)
  With --watch: 0 once stopped by SIGINT or SIGTERM (the files under way
  finish first), 1 when no watched folder is left</source>
        <translation>Aufruf: pdfunlock-cli [OPTION]... [--] PFAD...
Speichert von jeder gesperrten PDF-Datei der Tessivon-Scansoftware unter PFAD
eine ungeschützte Kopie (aus scan.pdf wird scan_copy.pdf), daneben oder unter
--output-dir. Jeder PFAD ist eine PDF-Datei oder ein Ordner; Ordner werden
samt Unterordnern nach Dateien namens *.pdf in beliebiger Schreibweise
durchsucht. Die Suche folgt keinem symbolischen Link: Ein Link namens *.pdf
oder einer, der zu einem Ordner führt, wird gemeldet, nicht verfolgt.

Das Passwort wird einmal am Terminal ohne Echo abgefragt; eine Zeile mit
mehr als %1 Byte wird abgelehnt.

      --password-stdin      das Passwort aus der ersten Zeile der
                            Standardeingabe lesen (nur das Zeilenende wird
                            entfernt)
      --password-file DATEI
                            das Passwort aus der ersten Zeile von DATEI lesen
      --password-list DATEI
                            die Passwörter aus DATEI, eines je Zeile, der
                            Reihe nach versuchen (höchstens %2; leere Zeilen
                            werden übergangen)
      --files-from DATEI    auch die in DATEI aufgeführten PFADE nehmen, einen
                            je Zeile (- für die Standardeingabe)
  -0, --null                die Namen von --files-from enden mit einem
                            NUL-Byte
  -o, --output-dir ORDNER   die Kopien unter ORDNER speichern (ein
                            durchsuchter Ordner behält dort seine
                            Unterordner); die Quellen werden nur gelesen
  -j, --jobs N              N Dateien gleichzeitig bearbeiten (Standard: die
                            Anzahl der Prozessoren, die der Prozess nutzen
                            darf); während eine Kopie auf den Datenträger
                            geschrieben wird, beginnt eine weitere Datei
      --json                ein JSON-Objekt je Datei auf der Standardausgabe
  -q, --quiet               nur die Dateien ausgeben, die Aufmerksamkeit
                            brauchen
      --again               auch Dateien kopieren, die schon eine Kopie aus
                            einem früheren Durchgang haben
      --stop-on-wrong-password
                            keine Datei mehr beginnen, wenn die ersten %3 das
                            Passwort alle abgelehnt haben
      --watch               die Ordner PFAD weiter überwachen: nach ihrem
                            Inhalt jede PDF-Datei, die ankommt, sobald ihr
                            Schreiber sie geschlossen hat, bis SIGINT oder
                            SIGTERM
      --settle SEKUNDEN     mit --watch eine Datei erst nehmen, wenn Größe und
                            Zeiten SEKUNDEN lang gleich blieben (Standard 2)
      --poll SEKUNDEN       mit --watch die Ordner alle SEKUNDEN durchsehen,
                            statt auf Meldungen des Systems zu warten
  -h, --help                diese Hilfe ausgeben und beenden
      --version             die Version ausgeben und beenden
  --                        Ende der Optionen: jedes weitere Wort ist ein PFAD

Die Zeile jeder Datei sagt in wenigen Worten, wie sie endete, mit dem Namen
der Kopie; mit --json ist ihr "reason" ein fester Code (siehe die
Handbuchseite). Die Zusammenfassung auf der Standardfehlerausgabe nennt die
nicht kopierten Dateien, nach Grund. Eine Datei, die ein früherer Durchgang
kopiert hat, wird ohne --again nicht erneut kopiert. Strg+C beginnt keine
weiteren Dateien; die laufenden werden fertig.

Rückgabewert:
  0    jede Datei kopiert, jetzt oder früher, oder nichts zu tun
  1    mindestens eine Datei braucht Aufmerksamkeit
  2    Aufruffehler, kein Passwort gelesen oder ein genannter PFAD fehlt
  3    kein Fehler, aber Dateien übergangen: nicht geschützt oder nicht von
       Tessivon
  130  durch SIGINT angehalten (143: SIGTERM)
  Mit --watch: 0 nach SIGINT oder SIGTERM (begonnene Dateien werden
  fertig), 1 wenn kein überwachter Ordner mehr übrig ist</translation>
    </message>
    <message id="IDS_CLI_TRY_HELP">
        <source>Try 'pdfunlock-cli --help' for more information.</source>
        <translation>„pdfunlock-cli --help“ gibt weitere Informationen.</translation>
    </message>
    <message id="IDS_CLI_UNKNOWN_OPTION">
        <source>unknown option %1</source>
        <translation>unbekannte Option %1</translation>
    </message>
    <message id="IDS_CLI_NEEDS_NUMBER">
        <source>%1 needs a number of files from 1 to 4096</source>
        <translation>%1 braucht eine Anzahl Dateien von 1 bis 4096</translation>
    </message>
    <message id="IDS_CLI_NEEDS_FILE">
        <source>%1 needs a file</source>
        <translation>%1 braucht eine Datei</translation>
    </message>
    <message id="IDS_CLI_NEEDS_FOLDER">
        <source>%1 needs a folder</source>
        <translation>%1 braucht einen Ordner</translation>
    </message>
    <message id="IDS_CLI_PASSWORD_SOURCES">
        <source>--password-stdin, --password-file and --password-list exclude each other</source>
        <translation>--password-stdin, --password-file und --password-list schließen einander aus</translation>
    </message>
    <message id="IDS_CLI_STDIN_TWICE">
        <source>--password-stdin and --files-from - cannot both read standard input</source>
        <translation>--password-stdin und --files-from - können nicht beide von der Standardeingabe lesen</translation>
    </message>
    <message id="IDS_CLI_NO_PATH">
        <source>no PATH given</source>
        <translation>kein PFAD angegeben</translation>
    </message>
    <message id="IDS_CLI_NOT_A_FOLDER">
        <source>%1 is no folder that can be opened</source>
        <translation>%1 ist kein Ordner, der sich öffnen lässt</translation>
    </message>
    <message id="IDS_CLI_CANNOT_READ">
        <source>cannot read %1</source>
        <translation>%1 kann nicht gelesen werden</translation>
    </message>
    <message id="IDS_CLI_NO_PASSWORD_STDIN">
        <source>standard input holds no password</source>
        <translation>die Standardeingabe enthält kein Passwort</translation>
    </message>
    <message id="IDS_CLI_NO_TERMINAL">
        <source>no terminal to ask for the password: use --password-stdin, --password-file or --password-list</source>
        <translation>kein Terminal, um nach dem Passwort zu fragen: Verwenden Sie --password-stdin, --password-file oder --password-list</translation>
    </message>
    <message id="IDS_CLI_LIST_TOO_MANY">
        <source>%1 holds more than %2 passwords: a password list is for the passwords you were given, not for guessing</source>
        <translation>%1 enthält mehr als %2 Passwörter: Eine Passwortliste ist für die Passwörter gedacht, die Sie erhalten haben, nicht zum Raten</translation>
    </message>
    <message id="IDS_CLI_LIST_EMPTY">
        <source>%1 holds no password</source>
        <translation>%1 enthält kein Passwort</translation>
    </message>
    <message id="IDS_CLI_NAME_TOO_LONG">
        <source>%1 holds a name longer than %2 bytes</source>
        <translation>%1 enthält einen Namen, der länger als %2 Byte ist</translation>
    </message>
    <message id="IDS_CLI_TOO_MANY_NAMES">
        <source>%1 holds more than %2 names</source>
        <translation>%1 enthält mehr als %2 Namen</translation>
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
    <message id="IDS_BATCH_OUTPUT_FAILED">
        <source>The folder for the copies could not be opened. The copies are saved beside the documents.</source>
        <translation>Der Ordner für die Kopien konnte nicht geöffnet werden. Die Kopien werden neben den Dokumenten gespeichert.</translation>
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
        <translation>%1 (%2)</translation>
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
    <message id="IDS_UI_BATCH_SAVE_IN">
        <source>Save Copies &amp;In…</source>
        <translation>Kopien speichern &amp;in …</translation>
    </message>
    <message id="IDS_UI_BATCH_COPIES_BESIDE">
        <source>Copies are saved beside each document.</source>
        <translation>Die Kopien werden neben jedem Dokument gespeichert.</translation>
    </message>
    <message id="IDS_UI_BATCH_COPIES_IN">
        <source>Copies are saved in %1, in folders like those of the documents.</source>
        <translation>Die Kopien werden in %1 gespeichert, in Ordnern wie denen der Dokumente.</translation>
    </message>
</context>
</TS>

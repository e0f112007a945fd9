<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name></name>
    <message id="IDS_MSG_STARTUP">
        <source>No document was opened. Open a password-protected PDF with pdfunlock, for example with “Open With” in your file manager.</source>
        <translation>No document was opened. Open a password-protected PDF with pdfunlock, for example with “Open With” in your file manager.</translation>
    </message>
    <message id="IDS_MSG_MULTIFILES">
        <source>Several documents were opened at once. pdfunlock handles one document at a time; for several with the same password, choose “Remove passwords from several PDFs” under “Open With”, or use pdfunlock-cli in a terminal.</source>
        <translation>Several documents were opened at once. pdfunlock handles one document at a time; for several with the same password, choose “Remove passwords from several PDFs” under “Open With”, or use pdfunlock-cli in a terminal.</translation>
    </message>
    <message id="IDS_MSG_NO_PWD">
        <source>This PDF is not protected by a password, so there is nothing to remove.</source>
        <translation>This PDF is not protected by a password, so there is nothing to remove.</translation>
    </message>
    <message id="IDS_MSG_NO_TESSIVON">
        <source>This file cannot be processed. pdfunlock only processes unrestricted PDF documents created by Tessivon scanning software.</source>
        <translation>This file cannot be processed. pdfunlock only processes unrestricted PDF documents created by Tessivon scanning software.</translation>
    </message>
    <message id="IDS_MSG_COMPLETE">
        <source>The password was removed. An unprotected copy was saved in the same folder as the original.</source>
        <translation>The password was removed. An unprotected copy was saved in the same folder as the original.</translation>
    </message>
    <message id="IDS_MSG_FAILED">
        <source>The unprotected copy could not be saved.</source>
        <translation>The unprotected copy could not be saved.</translation>
    </message>
    <message id="IDS_MSG_INVALIDPWD">
        <source>The password is incorrect. Please try again.</source>
        <translation>The password is incorrect. Please try again.</translation>
    </message>
    <message id="IDS_PWD">
        <source>Enter the document’s password to save an unprotected copy.</source>
        <translation>Enter the document’s password to save an unprotected copy.</translation>
    </message>
    <message id="IDS_BATCH_COPY_THERE">
        <source>Skipped: an unprotected copy from an earlier run is already there.</source>
        <translation>Skipped: an unprotected copy from an earlier run is already there.</translation>
    </message>
    <message id="IDS_BATCH_NOT_STARTED">
        <source>Not processed: the batch was cancelled.</source>
        <translation>Not processed: the batch was cancelled.</translation>
    </message>
    <message id="IDS_BATCH_COPY_NAME_HELD">
        <source>The password was removed. A file of another owner, or a link, held the copy’s name: the unprotected copy was saved under the next free name.</source>
        <translation>The password was removed. A file of another owner, or a link, held the copy’s name: the unprotected copy was saved under the next free name.</translation>
    </message>
    <message id="IDS_BATCH_CHANGED_WHILE_READ">
        <source>Not copied: the file changed while it was read.</source>
        <translation>Not copied: the file changed while it was read.</translation>
    </message>
    <message id="IDS_BATCH_MOVED">
        <source>Not processed: the file’s folder was moved or replaced after it was read.</source>
        <translation>Not processed: the file’s folder was moved or replaced after it was read.</translation>
    </message>
    <message id="IDS_BATCH_LINK_SKIPPED">
        <source>Skipped: a symbolic link, not followed.</source>
        <translation>Skipped: a symbolic link, not followed.</translation>
    </message>
    <message id="IDS_BATCH_FOLDER_UNREADABLE">
        <source>This folder could not be read; the PDFs in it were not processed.</source>
        <translation>This folder could not be read; the PDFs in it were not processed.</translation>
    </message>
    <message id="IDS_BATCH_NO_PDF">
        <source>No PDF was found.</source>
        <translation>No PDF was found.</translation>
    </message>
    <message id="IDS_BATCH_PASSWORD_PROMPT">
        <source>Password of the documents: </source>
        <translation>Password of the documents: </translation>
    </message>
    <message id="IDS_BATCH_PASSWORD_TOO_LONG">
        <source>The line read for the password is longer than %1 bytes. No PDF password is that long: check what the password is read from.</source>
        <translation>The line read for the password is longer than %1 bytes. No PDF password is that long: check what the password is read from.</translation>
    </message>
    <message id="IDS_BATCH_PROGRESS">
        <source>%1/%2 done, %3 failed, %4</source>
        <translation>%1/%2 done, %3 failed, %4</translation>
    </message>
    <message id="IDS_BATCH_SUMMARY">
        <source>Unprotected copies saved: %1 of %2 files.</source>
        <translation>Unprotected copies saved: %1 of %2 files.</translation>
    </message>
    <message id="IDS_BATCH_SUMMARY_ALREADY">
        <source>Copied in an earlier run, left as they are: %1.</source>
        <translation>Copied in an earlier run, left as they are: %1.</translation>
    </message>
    <message id="IDS_BATCH_SUMMARY_REFUSED">
        <source>Not copied: %1, for these reasons:</source>
        <translation>Not copied: %1, for these reasons:</translation>
    </message>
    <message id="IDS_BATCH_SUMMARY_CANCELLED">
        <source>Cancelled: %1 files were not processed.</source>
        <translation>Cancelled: %1 files were not processed.</translation>
    </message>
    <message id="IDS_CLI_NEEDS_SECONDS">
        <source>%1 needs a number of seconds up to 3600.</source>
        <translation>%1 needs a number of seconds up to 3600.</translation>
    </message>
    <message id="IDS_CLI_WATCH_ONLY">
        <source>%1 goes with --watch only.</source>
        <translation>%1 goes with --watch only.</translation>
    </message>
    <message id="IDS_WATCH_POLLING">
        <source>%1: the system gives no events for this folder; it is looked at every few seconds instead.</source>
        <translation>%1: the system gives no events for this folder; it is looked at every few seconds instead.</translation>
    </message>
    <message id="IDS_WATCH_FOLDER_GONE">
        <source>%1: the watched folder was deleted or moved; it is no longer watched.</source>
        <translation>%1: the watched folder was deleted or moved; it is no longer watched.</translation>
    </message>
    <message id="IDS_WATCH_NONE_LEFT">
        <source>No watched folder is left.</source>
        <translation>No watched folder is left.</translation>
    </message>
    <message id="IDS_WATCH_PASSWORD_FILE_OPEN">
        <source>%1 may be read or written by other users. A password file for --watch must be yours and readable only by you: chmod 600 %1</source>
        <translation>%1 may be read or written by other users. A password file for --watch must be yours and readable only by you: chmod 600 %1</translation>
    </message>
    <message id="IDS_BATCH_PASSWORD_ENTRY">
        <source>password %1 of the list</source>
        <translation>password %1 of the list</translation>
    </message>
    <message id="IDS_BATCH_PASSWORD_HINT">
        <source>– wrong password? The first %1 refused it</source>
        <translation>– wrong password? The first %1 refused it</translation>
    </message>
    <message id="IDS_BATCH_STOPPED">
        <source>Stopped: the first %1 files all refused the password.</source>
        <translation>Stopped: the first %1 files all refused the password.</translation>
    </message>
    <message id="IDS_REASON_COPIED">
        <source>copied</source>
        <translation>copied</translation>
    </message>
    <message id="IDS_REASON_COPIED_NAME_HELD">
        <source>copied under the next free name (the name was held)</source>
        <translation>copied under the next free name (the name was held)</translation>
    </message>
    <message id="IDS_REASON_COPIED_BEFORE">
        <source>copied before, left as it is</source>
        <translation>copied before, left as it is</translation>
    </message>
    <message id="IDS_REASON_NOT_PROTECTED">
        <source>not protected by a password</source>
        <translation>not protected by a password</translation>
    </message>
    <message id="IDS_REASON_REFUSED_ORIGIN">
        <source>not from Tessivon scanning software</source>
        <translation>not from Tessivon scanning software</translation>
    </message>
    <message id="IDS_REASON_REFUSED_PERMISSION">
        <source>a permission is refused</source>
        <translation>a permission is refused</translation>
    </message>
    <message id="IDS_REASON_WRONG_PASSWORD">
        <source>wrong password</source>
        <translation>wrong password</translation>
    </message>
    <message id="IDS_REASON_NOT_FOUND">
        <source>not found</source>
        <translation>not found</translation>
    </message>
    <message id="IDS_REASON_NOT_A_REGULAR_FILE">
        <source>not a regular file</source>
        <translation>not a regular file</translation>
    </message>
    <message id="IDS_REASON_UNREADABLE">
        <source>cannot be read</source>
        <translation>cannot be read</translation>
    </message>
    <message id="IDS_REASON_EMPTY">
        <source>empty (0 bytes): still being written?</source>
        <translation>empty (0 bytes): still being written?</translation>
    </message>
    <message id="IDS_REASON_DAMAGED">
        <source>damaged, cut short or not a PDF</source>
        <translation>damaged, cut short or not a PDF</translation>
    </message>
    <message id="IDS_REASON_CHANGED_WHILE_READ">
        <source>changed while it was read</source>
        <translation>changed while it was read</translation>
    </message>
    <message id="IDS_REASON_SAVE_FAILED">
        <source>the copy could not be saved</source>
        <translation>the copy could not be saved</translation>
    </message>
    <message id="IDS_REASON_TOO_MANY_OPEN_FILES">
        <source>too many open files</source>
        <translation>too many open files</translation>
    </message>
    <message id="IDS_REASON_LINK_NOT_FOLLOWED">
        <source>a symbolic link, not followed</source>
        <translation>a symbolic link, not followed</translation>
    </message>
    <message id="IDS_REASON_FOLDER_UNREADABLE">
        <source>folder cannot be read</source>
        <translation>folder cannot be read</translation>
    </message>
    <message id="IDS_REASON_FOLDER_MOVED">
        <source>its folder was moved or replaced</source>
        <translation>its folder was moved or replaced</translation>
    </message>
    <message id="IDS_REASON_NOT_STARTED">
        <source>not started</source>
        <translation>not started</translation>
    </message>
    <message id="IDS_DETAIL_READ_ONLY">
        <source>read-only file system</source>
        <translation>read-only file system</translation>
    </message>
    <message id="IDS_DETAIL_NO_SPACE">
        <source>no space left</source>
        <translation>no space left</translation>
    </message>
    <message id="IDS_DETAIL_NAME_TOO_LONG">
        <source>name too long</source>
        <translation>name too long</translation>
    </message>
    <message id="IDS_DETAIL_NAME_TAKEN">
        <source>name taken</source>
        <translation>name taken</translation>
    </message>
    <message id="IDS_DETAIL_NO_PERMISSION">
        <source>permission denied</source>
        <translation>permission denied</translation>
    </message>
    <message id="IDS_DETAIL_TOO_LARGE">
        <source>file too large</source>
        <translation>file too large</translation>
    </message>
    <message id="IDS_DETAIL_NO_FREE_NAME">
        <source>no free name for the copy</source>
        <translation>no free name for the copy</translation>
    </message>
    <message id="IDS_DETAIL_COPY_UNREADABLE">
        <source>the copy did not read back whole</source>
        <translation>the copy did not read back whole</translation>
    </message>
    <message id="IDS_DETAIL_OTHER_SECURITY">
        <source>locked by another security handler</source>
        <translation>locked by another security handler</translation>
    </message>
    <message id="IDS_PERMISSION_PRINT">
        <source>printing</source>
        <translation>printing</translation>
    </message>
    <message id="IDS_PERMISSION_COPY">
        <source>copying text and images</source>
        <translation>copying text and images</translation>
    </message>
    <message id="IDS_PERMISSION_ANNOTATE">
        <source>commenting</source>
        <translation>commenting</translation>
    </message>
    <message id="IDS_PERMISSION_FILL_FORMS">
        <source>filling in forms</source>
        <translation>filling in forms</translation>
    </message>
    <message id="IDS_PERMISSION_MODIFY">
        <source>changing the document</source>
        <translation>changing the document</translation>
    </message>
    <message id="IDS_PERMISSION_ASSEMBLE">
        <source>assembling the document</source>
        <translation>assembling the document</translation>
    </message>
    <message id="IDS_PERMISSION_ACCESSIBILITY">
        <source>content accessibility</source>
        <translation>content accessibility</translation>
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
        <translation>Usage: pdfunlock-cli [OPTION]... [--] PATH...
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
  finish first), 1 when no watched folder is left</translation>
    </message>
    <message id="IDS_CLI_TRY_HELP">
        <source>Try 'pdfunlock-cli --help' for more information.</source>
        <translation>Try 'pdfunlock-cli --help' for more information.</translation>
    </message>
    <message id="IDS_CLI_UNKNOWN_OPTION">
        <source>unknown option %1</source>
        <translation>unknown option %1</translation>
    </message>
    <message id="IDS_CLI_NEEDS_NUMBER">
        <source>%1 needs a number of files from 1 to 4096</source>
        <translation>%1 needs a number of files from 1 to 4096</translation>
    </message>
    <message id="IDS_CLI_NEEDS_FILE">
        <source>%1 needs a file</source>
        <translation>%1 needs a file</translation>
    </message>
    <message id="IDS_CLI_NEEDS_FOLDER">
        <source>%1 needs a folder</source>
        <translation>%1 needs a folder</translation>
    </message>
    <message id="IDS_CLI_PASSWORD_SOURCES">
        <source>--password-stdin, --password-file and --password-list exclude each other</source>
        <translation>--password-stdin, --password-file and --password-list exclude each other</translation>
    </message>
    <message id="IDS_CLI_STDIN_TWICE">
        <source>--password-stdin and --files-from - cannot both read standard input</source>
        <translation>--password-stdin and --files-from - cannot both read standard input</translation>
    </message>
    <message id="IDS_CLI_NO_PATH">
        <source>no PATH given</source>
        <translation>no PATH given</translation>
    </message>
    <message id="IDS_CLI_NOT_A_FOLDER">
        <source>%1 is no folder that can be opened</source>
        <translation>%1 is no folder that can be opened</translation>
    </message>
    <message id="IDS_CLI_CANNOT_READ">
        <source>cannot read %1</source>
        <translation>cannot read %1</translation>
    </message>
    <message id="IDS_CLI_NO_PASSWORD_STDIN">
        <source>standard input holds no password</source>
        <translation>standard input holds no password</translation>
    </message>
    <message id="IDS_CLI_NO_TERMINAL">
        <source>no terminal to ask for the password: use --password-stdin, --password-file or --password-list</source>
        <translation>no terminal to ask for the password: use --password-stdin, --password-file or --password-list</translation>
    </message>
    <message id="IDS_CLI_LIST_TOO_MANY">
        <source>%1 holds more than %2 passwords: a password list is for the passwords you were given, not for guessing</source>
        <translation>%1 holds more than %2 passwords: a password list is for the passwords you were given, not for guessing</translation>
    </message>
    <message id="IDS_CLI_LIST_EMPTY">
        <source>%1 holds no password</source>
        <translation>%1 holds no password</translation>
    </message>
    <message id="IDS_CLI_NAME_TOO_LONG">
        <source>%1 holds a name longer than %2 bytes</source>
        <translation>%1 holds a name longer than %2 bytes</translation>
    </message>
    <message id="IDS_CLI_TOO_MANY_NAMES">
        <source>%1 holds more than %2 names</source>
        <translation>%1 holds more than %2 names</translation>
    </message>
    <message id="IDS_BATCH_LOOKING">
        <source>Looking for PDFs… %1 found so far.</source>
        <translation>Looking for PDFs… %1 found so far.</translation>
    </message>
    <message id="IDS_BATCH_STOPPING">
        <source>Cancelling: the documents under way are being finished.</source>
        <translation>Cancelling: the documents under way are being finished.</translation>
    </message>
    <message id="IDS_BATCH_CLOSING">
        <source>Closing: the documents under way are being finished, then the window closes.</source>
        <translation>Closing: the documents under way are being finished, then the window closes.</translation>
    </message>
    <message id="IDS_BATCH_REPORT_FAILED">
        <source>The report could not be saved.</source>
        <translation>The report could not be saved.</translation>
    </message>
    <message id="IDS_BATCH_OUTPUT_FAILED">
        <source>The folder for the copies could not be opened. The copies are saved beside the documents.</source>
        <translation>The folder for the copies could not be opened. The copies are saved beside the documents.</translation>
    </message>
    <message id="IDS_UI_PASSWORD">
        <source>Password</source>
        <translation>Password</translation>
    </message>
    <message id="IDS_UI_REMOVE">
        <source>&amp;Remove Password</source>
        <translation>&amp;Remove Password</translation>
    </message>
    <message id="IDS_UI_CLOSE">
        <source>&amp;Close</source>
        <translation>&amp;Close</translation>
    </message>
    <message id="IDS_UI_BATCH_TITLE" numerus="yes">
        <source>%n document(s)</source>
        <translation>
            <numerusform>%n document</numerusform>
            <numerusform>%n documents</numerusform>
        </translation>
    </message>
    <message id="IDS_UI_BATCH_PROMPT">
        <source>Enter the password these documents share to save an unprotected copy of each beside it.</source>
        <translation>Enter the password these documents share to save an unprotected copy of each beside it.</translation>
    </message>
    <message id="IDS_UI_BATCH_DOCUMENTS">
        <source>Documents</source>
        <translation>Documents</translation>
    </message>
    <message id="IDS_UI_BATCH_DOCUMENT">
        <source>Document</source>
        <translation>Document</translation>
    </message>
    <message id="IDS_UI_BATCH_STATE">
        <source>State</source>
        <translation>State</translation>
    </message>
    <message id="IDS_UI_BATCH_COPY">
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
    <message id="IDS_UI_BATCH_PROGRESS">
        <source>Progress</source>
        <translation>Progress</translation>
    </message>
    <message id="IDS_UI_BATCH_START">
        <source>&amp;Start</source>
        <translation>&amp;Start</translation>
    </message>
    <message id="IDS_UI_BATCH_RETRY">
        <source>&amp;Retry with New Password</source>
        <translation>&amp;Retry with New Password</translation>
    </message>
    <message id="IDS_UI_BATCH_CANCEL">
        <source>Cance&amp;l</source>
        <translation>Cance&amp;l</translation>
    </message>
    <message id="IDS_UI_BATCH_WAITING">
        <source>Waiting</source>
        <translation>Waiting</translation>
    </message>
    <message id="IDS_UI_BATCH_COPIED">
        <source>Copy saved</source>
        <translation>Copy saved</translation>
    </message>
    <message id="IDS_UI_BATCH_ALREADY_COPIED">
        <source>Copy already there</source>
        <translation>Copy already there</translation>
    </message>
    <message id="IDS_UI_BATCH_WRONG_PASSWORD">
        <source>Wrong password</source>
        <translation>Wrong password</translation>
    </message>
    <message id="IDS_UI_BATCH_NOT_PROTECTED">
        <source>Not protected</source>
        <translation>Not protected</translation>
    </message>
    <message id="IDS_UI_BATCH_REFUSED">
        <source>Cannot be processed</source>
        <translation>Cannot be processed</translation>
    </message>
    <message id="IDS_UI_BATCH_FAILED">
        <source>Not saved</source>
        <translation>Not saved</translation>
    </message>
    <message id="IDS_UI_BATCH_CANCELLED">
        <source>Cancelled</source>
        <translation>Cancelled</translation>
    </message>
    <message id="IDS_UI_BATCH_REASON">
        <source>Reason</source>
        <translation>Reason</translation>
    </message>
    <message id="IDS_UI_BATCH_STATE_REASON">
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message id="IDS_UI_BATCH_DETAILS">
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
    <message id="IDS_UI_BATCH_DETAILS_COPY">
        <source>%1 — %2 — copy: %3</source>
        <translation>%1 — %2 — copy: %3</translation>
    </message>
    <message id="IDS_UI_BATCH_CURRENT">
        <source>Current document</source>
        <translation>Current document</translation>
    </message>
    <message id="IDS_UI_BATCH_STATUS">
        <source>How the batch went</source>
        <translation>How the batch went</translation>
    </message>
    <message id="IDS_UI_BATCH_ADD_FILES">
        <source>Add &amp;Files…</source>
        <translation>Add &amp;Files…</translation>
    </message>
    <message id="IDS_UI_BATCH_ADD_FOLDER">
        <source>Add Fol&amp;der…</source>
        <translation>Add Fol&amp;der…</translation>
    </message>
    <message id="IDS_UI_BATCH_PDF_FILTER">
        <source>PDF documents (*.pdf *.PDF)</source>
        <translation>PDF documents (*.pdf *.PDF)</translation>
    </message>
    <message id="IDS_UI_BATCH_SHOW_PASSWORD">
        <source>S&amp;how password</source>
        <translation>S&amp;how password</translation>
    </message>
    <message id="IDS_UI_BATCH_OPEN_FOLDER">
        <source>&amp;Open Folder</source>
        <translation>&amp;Open Folder</translation>
    </message>
    <message id="IDS_UI_BATCH_SAVE_REPORT">
        <source>Save Re&amp;port…</source>
        <translation>Save Re&amp;port…</translation>
    </message>
    <message id="IDS_UI_BATCH_REPORT_CSV">
        <source>CSV table (*.csv)</source>
        <translation>CSV table (*.csv)</translation>
    </message>
    <message id="IDS_UI_BATCH_REPORT_JSON">
        <source>JSON lines (*.jsonl)</source>
        <translation>JSON lines (*.jsonl)</translation>
    </message>
    <message id="IDS_UI_BATCH_UNSAVED_REPORT">
        <source>Some documents were not copied, and the report of this batch has not been saved. Save it before closing?</source>
        <translation>Some documents were not copied, and the report of this batch has not been saved. Save it before closing?</translation>
    </message>
    <message id="IDS_UI_BATCH_SAVE_IN">
        <source>Save Copies &amp;In…</source>
        <translation>Save Copies &amp;In…</translation>
    </message>
    <message id="IDS_UI_BATCH_COPIES_BESIDE">
        <source>Copies are saved beside each document.</source>
        <translation>Copies are saved beside each document.</translation>
    </message>
    <message id="IDS_UI_BATCH_COPIES_IN">
        <source>Copies are saved in %1, in folders like those of the documents.</source>
        <translation>Copies are saved in %1, in folders like those of the documents.</translation>
    </message>
</context>
</TS>

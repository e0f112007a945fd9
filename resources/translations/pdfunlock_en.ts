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
        <source>%1 of %2 files done, %3 elapsed</source>
        <translation>%1 of %2 files done, %3 elapsed</translation>
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
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name></name>
    <message id="IDS_MSG_STARTUP">
        <source>No document was opened. Open a password-protected PDF with pdfunlock, for example with “Open With” in your file manager.</source>
        <translation>文書が開かれていません。パスワードで保護された PDF を、ファイルマネージャーの「アプリケーションで開く」などから pdfunlock で開いてください。</translation>
    </message>
    <message id="IDS_MSG_MULTIFILES">
        <source>Several documents were opened at once. pdfunlock handles one document at a time; for several with the same password, choose “Remove passwords from several PDFs” under “Open With”, or use pdfunlock-cli in a terminal.</source>
        <translation>複数の文書が同時に開かれました。pdfunlock は文書を 1 つずつ処理します。同じパスワードの文書が複数ある場合は、「このアプリケーションで開く」から「複数の PDF のパスワードを解除」を選ぶか、端末で pdfunlock-cli を使ってください。</translation>
    </message>
    <message id="IDS_MSG_NO_PWD">
        <source>This PDF is not protected by a password, so there is nothing to remove.</source>
        <translation>この PDF はパスワードで保護されていないため、解除するものはありません。</translation>
    </message>
    <message id="IDS_MSG_NO_TESSIVON">
        <source>This file cannot be processed. pdfunlock only processes unrestricted PDF documents created by Tessivon scanning software.</source>
        <translation>このファイルは処理できません。pdfunlock が処理できるのは、Tessivon のスキャンソフトウェアで作成された、制限のない PDF 文書だけです。</translation>
    </message>
    <message id="IDS_MSG_COMPLETE">
        <source>The password was removed. An unprotected copy was saved in the same folder as the original.</source>
        <translation>パスワードを解除しました。保護されていないコピーを元の文書と同じフォルダーに保存しました。</translation>
    </message>
    <message id="IDS_MSG_FAILED">
        <source>The unprotected copy could not be saved.</source>
        <translation>保護されていないコピーを保存できませんでした。</translation>
    </message>
    <message id="IDS_MSG_INVALIDPWD">
        <source>The password is incorrect. Please try again.</source>
        <translation>パスワードが正しくありません。もう一度入力してください。</translation>
    </message>
    <message id="IDS_PWD">
        <source>Enter the document’s password to save an unprotected copy.</source>
        <translation>保護されていないコピーを保存するには、文書のパスワードを入力してください。</translation>
    </message>
    <message id="IDS_BATCH_COPY_THERE">
        <source>Skipped: an unprotected copy from an earlier run is already there.</source>
        <translation>スキップしました: 以前に保存した保護されていないコピーが既にあります。</translation>
    </message>
    <message id="IDS_BATCH_NOT_STARTED">
        <source>Not processed: the batch was cancelled.</source>
        <translation>処理されていません: 一括処理が取り消されました。</translation>
    </message>
    <message id="IDS_BATCH_COPY_NAME_HELD">
        <source>The password was removed. A file of another owner, or a link, held the copy’s name: the unprotected copy was saved under the next free name.</source>
        <translation>パスワードを削除しました。コピーの名前が別の所有者のファイルまたはリンクに使われていたため、保護されていないコピーを次の空いている名前で保存しました。</translation>
    </message>
    <message id="IDS_BATCH_CHANGED_WHILE_READ">
        <source>Not copied: the file changed while it was read.</source>
        <translation>コピーしていません: 読み込み中にファイルが変更されました。</translation>
    </message>
    <message id="IDS_BATCH_MOVED">
        <source>Not processed: the file’s folder was moved or replaced after it was read.</source>
        <translation>処理されていません: フォルダーを読み込んだ後に、ファイルのフォルダーが移動または置き換えられました。</translation>
    </message>
    <message id="IDS_BATCH_LINK_SKIPPED">
        <source>Skipped: a symbolic link, not followed.</source>
        <translation>スキップしました: シンボリックリンクはたどりません。</translation>
    </message>
    <message id="IDS_BATCH_FOLDER_UNREADABLE">
        <source>This folder could not be read; the PDFs in it were not processed.</source>
        <translation>このフォルダーを読み取れませんでした。中の PDF は処理されていません。</translation>
    </message>
    <message id="IDS_BATCH_NO_PDF">
        <source>No PDF was found.</source>
        <translation>PDF が見つかりませんでした。</translation>
    </message>
    <message id="IDS_BATCH_PASSWORD_PROMPT">
        <source>Password of the documents: </source>
        <translation>文書のパスワード: </translation>
    </message>
    <message id="IDS_BATCH_PASSWORD_TOO_LONG">
        <source>The line read for the password is longer than %1 bytes. No PDF password is that long: check what the password is read from.</source>
        <translation>パスワードとして読み込んだ行が %1 バイトを超えています。これほど長い PDF のパスワードはありません。パスワードの読み込み元を確認してください。</translation>
    </message>
    <message id="IDS_BATCH_PROGRESS">
        <source>%1/%2 done, %3 failed, %4</source>
        <translation>%1/%2 件完了、失敗 %3 件、%4</translation>
    </message>
    <message id="IDS_BATCH_SUMMARY">
        <source>Unprotected copies saved: %1 of %2 files.</source>
        <translation>保護されていないコピーを保存しました: %2 件中 %1 件。</translation>
    </message>
    <message id="IDS_BATCH_SUMMARY_ALREADY">
        <source>Copied in an earlier run, left as they are: %1.</source>
        <translation>以前にコピー済みのため、そのままにしたファイル: %1 件。</translation>
    </message>
    <message id="IDS_BATCH_SUMMARY_REFUSED">
        <source>Not copied: %1, for these reasons:</source>
        <translation>コピーされなかったファイル: %1 件。理由は次のとおりです:</translation>
    </message>
    <message id="IDS_BATCH_SUMMARY_CANCELLED">
        <source>Cancelled: %1 files were not processed.</source>
        <translation>取り消されました: %1 件のファイルは処理されていません。</translation>
    </message>
    <message id="IDS_CLI_NEEDS_SECONDS">
        <source>%1 needs a number of seconds up to 3600.</source>
        <translation>%1 には 3600 までの秒数が必要です。</translation>
    </message>
    <message id="IDS_CLI_WATCH_ONLY">
        <source>%1 goes with --watch only.</source>
        <translation>%1 は --watch と一緒にだけ使えます。</translation>
    </message>
    <message id="IDS_WATCH_POLLING">
        <source>%1: the system gives no events for this folder; it is looked at every few seconds instead.</source>
        <translation>%1: システムはこのフォルダーの変更を通知しません。代わりに数秒ごとにフォルダーを確認します。</translation>
    </message>
    <message id="IDS_WATCH_FOLDER_GONE">
        <source>%1: the watched folder was deleted or moved; it is no longer watched.</source>
        <translation>%1: 監視中のフォルダーが削除または移動されました。このフォルダーの監視を終了します。</translation>
    </message>
    <message id="IDS_WATCH_NONE_LEFT">
        <source>No watched folder is left.</source>
        <translation>監視するフォルダーが残っていません。</translation>
    </message>
    <message id="IDS_WATCH_PASSWORD_FILE_OPEN">
        <source>%1 may be read or written by other users. A password file for --watch must be yours and readable only by you: chmod 600 %1</source>
        <translation>%1 は他のユーザーが読み書きできます。--watch のパスワードファイルはあなたが所有し、あなただけが読める必要があります: chmod 600 %1</translation>
    </message>
    <message id="IDS_BATCH_PASSWORD_ENTRY">
        <source>password %1 of the list</source>
        <translation>リストの %1 番目のパスワード</translation>
    </message>
    <message id="IDS_BATCH_PASSWORD_HINT">
        <source>– wrong password? The first %1 refused it</source>
        <translation>– パスワード違い? 最初の %1 件が拒否</translation>
    </message>
    <message id="IDS_BATCH_STOPPED">
        <source>Stopped: the first %1 files all refused the password.</source>
        <translation>停止しました: 最初の %1 件のファイルはすべてパスワードを受け付けませんでした。</translation>
    </message>
    <message id="IDS_REASON_COPIED">
        <source>copied</source>
        <translation>コピーしました</translation>
    </message>
    <message id="IDS_REASON_COPIED_NAME_HELD">
        <source>copied under the next free name (the name was held)</source>
        <translation>次の空いている名前でコピーしました (名前が使われていました)</translation>
    </message>
    <message id="IDS_REASON_COPIED_BEFORE">
        <source>copied before, left as it is</source>
        <translation>以前にコピー済み、そのままにしました</translation>
    </message>
    <message id="IDS_REASON_NOT_PROTECTED">
        <source>not protected by a password</source>
        <translation>パスワードで保護されていません</translation>
    </message>
    <message id="IDS_REASON_REFUSED_ORIGIN">
        <source>not from Tessivon scanning software</source>
        <translation>Tessivon のスキャンソフトウェアで作成されたものではありません</translation>
    </message>
    <message id="IDS_REASON_REFUSED_PERMISSION">
        <source>a permission is refused</source>
        <translation>権限が拒否されています</translation>
    </message>
    <message id="IDS_REASON_WRONG_PASSWORD">
        <source>wrong password</source>
        <translation>パスワードが違います</translation>
    </message>
    <message id="IDS_REASON_NOT_FOUND">
        <source>not found</source>
        <translation>見つかりません</translation>
    </message>
    <message id="IDS_REASON_NOT_A_REGULAR_FILE">
        <source>not a regular file</source>
        <translation>通常のファイルではありません</translation>
    </message>
    <message id="IDS_REASON_UNREADABLE">
        <source>cannot be read</source>
        <translation>読み取れません</translation>
    </message>
    <message id="IDS_REASON_EMPTY">
        <source>empty (0 bytes): still being written?</source>
        <translation>空 (0 バイト) です: まだ書き込み中の可能性があります</translation>
    </message>
    <message id="IDS_REASON_DAMAGED">
        <source>damaged, cut short or not a PDF</source>
        <translation>破損しているか、途中で切れているか、PDF ではありません</translation>
    </message>
    <message id="IDS_REASON_CHANGED_WHILE_READ">
        <source>changed while it was read</source>
        <translation>読み込み中に変更されました</translation>
    </message>
    <message id="IDS_REASON_SAVE_FAILED">
        <source>the copy could not be saved</source>
        <translation>コピーを保存できませんでした</translation>
    </message>
    <message id="IDS_REASON_TOO_MANY_OPEN_FILES">
        <source>too many open files</source>
        <translation>開いているファイルが多すぎます</translation>
    </message>
    <message id="IDS_REASON_LINK_NOT_FOLLOWED">
        <source>a symbolic link, not followed</source>
        <translation>シンボリックリンクはたどりません</translation>
    </message>
    <message id="IDS_REASON_FOLDER_UNREADABLE">
        <source>folder cannot be read</source>
        <translation>フォルダーを読み取れません</translation>
    </message>
    <message id="IDS_REASON_FOLDER_MOVED">
        <source>its folder was moved or replaced</source>
        <translation>フォルダーが移動または置き換えられました</translation>
    </message>
    <message id="IDS_REASON_NOT_STARTED">
        <source>not started</source>
        <translation>開始されていません</translation>
    </message>
    <message id="IDS_DETAIL_READ_ONLY">
        <source>read-only file system</source>
        <translation>読み取り専用のファイルシステム</translation>
    </message>
    <message id="IDS_DETAIL_NO_SPACE">
        <source>no space left</source>
        <translation>空き容量がありません</translation>
    </message>
    <message id="IDS_DETAIL_NAME_TOO_LONG">
        <source>name too long</source>
        <translation>名前が長すぎます</translation>
    </message>
    <message id="IDS_DETAIL_NAME_TAKEN">
        <source>name taken</source>
        <translation>名前が使われています</translation>
    </message>
    <message id="IDS_DETAIL_NO_PERMISSION">
        <source>permission denied</source>
        <translation>権限がありません</translation>
    </message>
    <message id="IDS_DETAIL_TOO_LARGE">
        <source>file too large</source>
        <translation>ファイルが大きすぎます</translation>
    </message>
    <message id="IDS_DETAIL_NO_FREE_NAME">
        <source>no free name for the copy</source>
        <translation>コピーに使える名前がありません</translation>
    </message>
    <message id="IDS_DETAIL_COPY_UNREADABLE">
        <source>the copy did not read back whole</source>
        <translation>コピーを完全には読み戻せませんでした</translation>
    </message>
    <message id="IDS_DETAIL_OTHER_SECURITY">
        <source>locked by another security handler</source>
        <translation>別のセキュリティ方式で保護されています</translation>
    </message>
    <message id="IDS_PERMISSION_PRINT">
        <source>printing</source>
        <translation>印刷</translation>
    </message>
    <message id="IDS_PERMISSION_COPY">
        <source>copying text and images</source>
        <translation>テキストと画像のコピー</translation>
    </message>
    <message id="IDS_PERMISSION_ANNOTATE">
        <source>commenting</source>
        <translation>注釈</translation>
    </message>
    <message id="IDS_PERMISSION_FILL_FORMS">
        <source>filling in forms</source>
        <translation>フォームへの入力</translation>
    </message>
    <message id="IDS_PERMISSION_MODIFY">
        <source>changing the document</source>
        <translation>文書の変更</translation>
    </message>
    <message id="IDS_PERMISSION_ASSEMBLE">
        <source>assembling the document</source>
        <translation>文書の組み立て</translation>
    </message>
    <message id="IDS_PERMISSION_ACCESSIBILITY">
        <source>content accessibility</source>
        <translation>アクセシビリティのための内容の抽出</translation>
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
        <translation>使い方: pdfunlock-cli [オプション]... [--] パス...
パスにある Tessivon のスキャンソフトウェアで作成されたロック付き PDF それぞれ
について、保護されていないコピーを元のファイルの隣、または --output-dir の下
に保存します (scan.pdf から scan_copy.pdf)。各パスは PDF またはフォルダーです。
フォルダーはサブフォルダーも含めて、大文字小文字を問わず *.pdf という名前の
ファイルを探します。シンボリックリンクはたどりません。*.pdf という名前のリンク
やフォルダーへのリンクは報告され、たどられません。

パスワードは端末で一度だけ、エコーなしで尋ねます。%1 バイトを超える行は
受け付けません。

      --password-stdin      標準入力の最初の行からパスワードを読む
                            (行末だけを取り除きます)
      --password-file FILE  FILE の最初の行からパスワードを読む
      --password-list FILE  FILE のパスワード (1 行に 1 つ) を順に試す
                            (最大 %2 個。空行は飛ばします)
      --files-from FILE     FILE に 1 行に 1 つずつ書かれたパスも処理する
                            (- は標準入力)
  -0, --null                --files-from の名前は NUL バイトで区切られている
  -o, --output-dir DIR      コピーを DIR の下に保存する (探したフォルダーの
                            サブフォルダーはそこに作られます)。元のファイルは
                            読むだけです
  -j, --jobs N              N 個のファイルを同時に処理する (既定: このプロセス
                            が使えるプロセッサーの数)。コピーをディスクへ書き
                            込む間は、次のファイルを始める
      --json                ファイルごとに 1 つの JSON オブジェクトを標準出力へ
  -q, --quiet               対応が必要なファイルだけを表示する
      --again               以前の実行でコピー済みのファイルもコピーする
      --stop-on-wrong-password
                            最初の %3 件がすべてパスワードを受け付けなかったら、
                            それ以上ファイルを開始しない
      --watch               フォルダー PATH を監視し続ける: 今ある内容の後、
                            届いた PDF を書き込み側が閉じた時点で処理する
                            (SIGINT または SIGTERM まで)
      --settle SECONDS      --watch で、サイズと時刻が SECONDS 秒変わらなかった
                            ファイルを処理する (既定 2)
      --poll SECONDS        --watch で、システムの通知を待たずに SECONDS 秒
                            ごとにフォルダーを確認する
  -h, --help                このヘルプを表示して終了する
      --version             バージョンを表示して終了する
  --                        オプションの終わり: 以降の語はすべてパス

各ファイルの行は結果を短く示し、コピーの名前を添えます。--json では "reason"
が固定のコードです (マニュアルページを参照)。標準エラー出力の集計は、コピー
されなかったファイルを理由ごとに示します。以前の実行でコピー済みのファイルは、
--again を指定しない限り再びコピーしません。Ctrl+C で新しいファイルの開始を
止めます。処理中のファイルは最後まで処理されます。

終了ステータス:
  0    すべてのファイルをコピー済み (今回または以前)、または処理対象なし
  1    対応が必要なファイルが少なくとも 1 つある
  2    使い方の誤り、パスワードを読めない、または指定したパスが存在しない
  3    失敗はないが、対象外のファイルがある: 保護されていない、または
       Tessivon で作成されたものではない
  130  SIGINT で停止 (143: SIGTERM)
  --watch の場合: SIGINT または SIGTERM で停止すると 0 (処理中のファイルは
  完了する)、監視するフォルダーが残っていないと 1</translation>
    </message>
    <message id="IDS_CLI_TRY_HELP">
        <source>Try 'pdfunlock-cli --help' for more information.</source>
        <translation>詳しくは 'pdfunlock-cli --help' を実行してください。</translation>
    </message>
    <message id="IDS_CLI_UNKNOWN_OPTION">
        <source>unknown option %1</source>
        <translation>不明なオプション %1</translation>
    </message>
    <message id="IDS_CLI_NEEDS_NUMBER">
        <source>%1 needs a number of files from 1 to 4096</source>
        <translation>%1 には 1 から 4096 までのファイル数を指定してください</translation>
    </message>
    <message id="IDS_CLI_NEEDS_FILE">
        <source>%1 needs a file</source>
        <translation>%1 にはファイルを指定してください</translation>
    </message>
    <message id="IDS_CLI_NEEDS_FOLDER">
        <source>%1 needs a folder</source>
        <translation>%1 にはフォルダーを指定してください</translation>
    </message>
    <message id="IDS_CLI_PASSWORD_SOURCES">
        <source>--password-stdin, --password-file and --password-list exclude each other</source>
        <translation>--password-stdin、--password-file、--password-list は同時に指定できません</translation>
    </message>
    <message id="IDS_CLI_STDIN_TWICE">
        <source>--password-stdin and --files-from - cannot both read standard input</source>
        <translation>--password-stdin と --files-from - の両方で標準入力を読むことはできません</translation>
    </message>
    <message id="IDS_CLI_NO_PATH">
        <source>no PATH given</source>
        <translation>パスが指定されていません</translation>
    </message>
    <message id="IDS_CLI_NOT_A_FOLDER">
        <source>%1 is no folder that can be opened</source>
        <translation>%1 は開けるフォルダーではありません</translation>
    </message>
    <message id="IDS_CLI_CANNOT_READ">
        <source>cannot read %1</source>
        <translation>%1 を読み取れません</translation>
    </message>
    <message id="IDS_CLI_NO_PASSWORD_STDIN">
        <source>standard input holds no password</source>
        <translation>標準入力にパスワードがありません</translation>
    </message>
    <message id="IDS_CLI_NO_TERMINAL">
        <source>no terminal to ask for the password: use --password-stdin, --password-file or --password-list</source>
        <translation>パスワードを尋ねる端末がありません: --password-stdin、--password-file、--password-list のいずれかを使ってください</translation>
    </message>
    <message id="IDS_CLI_LIST_TOO_MANY">
        <source>%1 holds more than %2 passwords: a password list is for the passwords you were given, not for guessing</source>
        <translation>%1 には %2 個を超えるパスワードがあります: パスワードリストは受け取ったパスワードのためのもので、推測のためのものではありません</translation>
    </message>
    <message id="IDS_CLI_LIST_EMPTY">
        <source>%1 holds no password</source>
        <translation>%1 にパスワードがありません</translation>
    </message>
    <message id="IDS_CLI_NAME_TOO_LONG">
        <source>%1 holds a name longer than %2 bytes</source>
        <translation>%1 に %2 バイトを超える名前があります</translation>
    </message>
    <message id="IDS_CLI_TOO_MANY_NAMES">
        <source>%1 holds more than %2 names</source>
        <translation>%1 には %2 個を超える名前があります</translation>
    </message>
    <message id="IDS_BATCH_LOOKING">
        <source>Looking for PDFs… %1 found so far.</source>
        <translation>PDF を探しています… これまでに %1 件見つかりました。</translation>
    </message>
    <message id="IDS_BATCH_STOPPING">
        <source>Cancelling: the documents under way are being finished.</source>
        <translation>中止しています: 処理中の文書を最後まで処理しています。</translation>
    </message>
    <message id="IDS_BATCH_CLOSING">
        <source>Closing: the documents under way are being finished, then the window closes.</source>
        <translation>閉じています: 処理中の文書を最後まで処理してから、ウィンドウを閉じます。</translation>
    </message>
    <message id="IDS_BATCH_REPORT_FAILED">
        <source>The report could not be saved.</source>
        <translation>レポートを保存できませんでした。</translation>
    </message>
    <message id="IDS_BATCH_OUTPUT_FAILED">
        <source>The folder for the copies could not be opened. The copies are saved beside the documents.</source>
        <translation>コピーの保存先フォルダーを開けませんでした。コピーはそれぞれの文書と同じフォルダーに保存されます。</translation>
    </message>
    <message id="IDS_UI_PASSWORD">
        <source>Password</source>
        <translation>パスワード</translation>
    </message>
    <message id="IDS_UI_REMOVE">
        <source>&amp;Remove Password</source>
        <translation>パスワードを解除(&amp;R)</translation>
    </message>
    <message id="IDS_UI_CLOSE">
        <source>&amp;Close</source>
        <translation>閉じる(&amp;C)</translation>
    </message>
    <message id="IDS_UI_BATCH_TITLE" numerus="yes">
        <source>%n document(s)</source>
        <translation>
            <numerusform>%n 件の文書</numerusform>
        </translation>
    </message>
    <message id="IDS_UI_BATCH_PROMPT">
        <source>Enter the password these documents share to save an unprotected copy of each beside it.</source>
        <translation>これらの文書に共通のパスワードを入力すると、それぞれの保護されていないコピーを同じフォルダーに保存します。</translation>
    </message>
    <message id="IDS_UI_BATCH_DOCUMENTS">
        <source>Documents</source>
        <translation>文書の一覧</translation>
    </message>
    <message id="IDS_UI_BATCH_DOCUMENT">
        <source>Document</source>
        <translation>文書</translation>
    </message>
    <message id="IDS_UI_BATCH_STATE">
        <source>State</source>
        <translation>状態</translation>
    </message>
    <message id="IDS_UI_BATCH_COPY">
        <source>Copy</source>
        <translation>コピー</translation>
    </message>
    <message id="IDS_UI_BATCH_PROGRESS">
        <source>Progress</source>
        <translation>進行状況</translation>
    </message>
    <message id="IDS_UI_BATCH_START">
        <source>&amp;Start</source>
        <translation>開始(&amp;S)</translation>
    </message>
    <message id="IDS_UI_BATCH_RETRY">
        <source>&amp;Retry with New Password</source>
        <translation>新しいパスワードで再試行(&amp;R)</translation>
    </message>
    <message id="IDS_UI_BATCH_CANCEL">
        <source>Cance&amp;l</source>
        <translation>中止(&amp;A)</translation>
    </message>
    <message id="IDS_UI_BATCH_WAITING">
        <source>Waiting</source>
        <translation>待機中</translation>
    </message>
    <message id="IDS_UI_BATCH_COPIED">
        <source>Copy saved</source>
        <translation>コピーを保存しました</translation>
    </message>
    <message id="IDS_UI_BATCH_ALREADY_COPIED">
        <source>Copy already there</source>
        <translation>コピーは保存済みです</translation>
    </message>
    <message id="IDS_UI_BATCH_WRONG_PASSWORD">
        <source>Wrong password</source>
        <translation>パスワードが違います</translation>
    </message>
    <message id="IDS_UI_BATCH_NOT_PROTECTED">
        <source>Not protected</source>
        <translation>保護されていません</translation>
    </message>
    <message id="IDS_UI_BATCH_REFUSED">
        <source>Cannot be processed</source>
        <translation>処理できません</translation>
    </message>
    <message id="IDS_UI_BATCH_FAILED">
        <source>Not saved</source>
        <translation>保存できませんでした</translation>
    </message>
    <message id="IDS_UI_BATCH_CANCELLED">
        <source>Cancelled</source>
        <translation>中止しました</translation>
    </message>
    <message id="IDS_UI_BATCH_REASON">
        <source>Reason</source>
        <translation>理由</translation>
    </message>
    <message id="IDS_UI_BATCH_STATE_REASON">
        <source>%1: %2</source>
        <translation>%1（%2）</translation>
    </message>
    <message id="IDS_UI_BATCH_DETAILS">
        <source>%1 — %2</source>
        <translation>%1 ／ %2</translation>
    </message>
    <message id="IDS_UI_BATCH_DETAILS_COPY">
        <source>%1 — %2 — copy: %3</source>
        <translation>%1 ／ %2 ／ コピー: %3</translation>
    </message>
    <message id="IDS_UI_BATCH_CURRENT">
        <source>Current document</source>
        <translation>選択中の文書</translation>
    </message>
    <message id="IDS_UI_BATCH_STATUS">
        <source>How the batch went</source>
        <translation>処理の状況</translation>
    </message>
    <message id="IDS_UI_BATCH_ADD_FILES">
        <source>Add &amp;Files…</source>
        <translation>ファイルを追加(&amp;F)…</translation>
    </message>
    <message id="IDS_UI_BATCH_ADD_FOLDER">
        <source>Add Fol&amp;der…</source>
        <translation>フォルダーを追加(&amp;D)…</translation>
    </message>
    <message id="IDS_UI_BATCH_PDF_FILTER">
        <source>PDF documents (*.pdf *.PDF)</source>
        <translation>PDF 文書 (*.pdf *.PDF)</translation>
    </message>
    <message id="IDS_UI_BATCH_SHOW_PASSWORD">
        <source>S&amp;how password</source>
        <translation>パスワードを表示(&amp;H)</translation>
    </message>
    <message id="IDS_UI_BATCH_OPEN_FOLDER">
        <source>&amp;Open Folder</source>
        <translation>フォルダーを開く(&amp;O)</translation>
    </message>
    <message id="IDS_UI_BATCH_SAVE_REPORT">
        <source>Save Re&amp;port…</source>
        <translation>レポートを保存(&amp;P)…</translation>
    </message>
    <message id="IDS_UI_BATCH_REPORT_CSV">
        <source>CSV table (*.csv)</source>
        <translation>CSV 表 (*.csv)</translation>
    </message>
    <message id="IDS_UI_BATCH_REPORT_JSON">
        <source>JSON lines (*.jsonl)</source>
        <translation>JSON Lines (*.jsonl)</translation>
    </message>
    <message id="IDS_UI_BATCH_UNSAVED_REPORT">
        <source>Some documents were not copied, and the report of this batch has not been saved. Save it before closing?</source>
        <translation>コピーされなかった文書があり、この処理のレポートはまだ保存されていません。閉じる前に保存しますか?</translation>
    </message>
    <message id="IDS_UI_BATCH_SAVE_IN">
        <source>Save Copies &amp;In…</source>
        <translation>コピーの保存先(&amp;I)…</translation>
    </message>
    <message id="IDS_UI_BATCH_COPIES_BESIDE">
        <source>Copies are saved beside each document.</source>
        <translation>コピーはそれぞれの文書と同じフォルダーに保存されます。</translation>
    </message>
    <message id="IDS_UI_BATCH_COPIES_IN">
        <source>Copies are saved in %1, in folders like those of the documents.</source>
        <translation>コピーは %1 に、文書と同じフォルダー構成で保存されます。</translation>
    </message>
</context>
</TS>

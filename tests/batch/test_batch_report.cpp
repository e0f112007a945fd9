// How the command shows a file's name: escaped on a text line so that the
// terminal shows it as it is, and in JSON in a form that gives back its bytes.
#include "Fakes.h"
#include "batch/BatchReport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace pdfunlock;

Q_DECLARE_METATYPE(std::string)

namespace {

FileResult copied(const std::string& source, std::optional<std::string> copy) {
    FileOutcome outcome;
    outcome.reason = copy ? FileReason::Copied : FileReason::SaveFailed;
    outcome.copyPath = std::move(copy);
    return {source, outcome, std::nullopt, 0};
}

} // namespace

class BatchReportTest : public QObject {
    Q_OBJECT

private slots:
    void escapes_data() {
        QTest::addColumn<std::string>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << std::string("a b.pdf") << "a b.pdf";
        QTest::newRow("letters of any script")
            << std::string("Grüße スキャン 😀.pdf") << "Grüße スキャン 😀.pdf";
        QTest::newRow("backslash") << std::string("a\\b.pdf") << "a\\\\b.pdf";
        QTest::newRow("newline, tab") << std::string("a\nb\tc") << "a\\nb\\tc";
        QTest::newRow("escape sequence") << std::string("\x1b[2Jx") << "\\x1B[2Jx";
        QTest::newRow("C0 control, DEL") << std::string("\x01\x7f") << "\\x01\\x7F";
        QTest::newRow("C1 CSI as UTF-8") << std::string("\xc2\x9b"
                                                        "31m")
                                         << "\\u009B31m";
        QTest::newRow("C1 OSC as UTF-8") << std::string("\xc2\x9d"
                                                        "0;x\x07")
                                         << "\\u009D0;x\\x07";
        QTest::newRow("raw CSI byte") << std::string("\x9b"
                                                     "31m")
                                      << "\\x9B31m";
        QTest::newRow("right-to-left override") << std::string("fdp.\xe2\x80\xae"
                                                               "exe")
                                                << "fdp.\\u202Eexe";
        QTest::newRow("isolates") << std::string("\xe2\x81\xa6x\xe2\x81\xa9") << "\\u2066x\\u2069";
        QTest::newRow("marks") << std::string("\xe2\x80\x8f\xd8\x9c") << "\\u200F\\u061C";
        QTest::newRow("line and paragraph separators") << std::string("a\xe2\x80\xa8"
                                                                      "b\xe2\x80\xa9")
                                                       << "a\\u2028b\\u2029";
        QTest::newRow("Latin-1 name") << std::string("caf\xe9.pdf") << "caf\\xE9.pdf";
        QTest::newRow("overlong slash") << std::string("\xc0\xaf") << "\\xC0\\xAF";
        QTest::newRow("surrogate") << std::string("\xed\xa0\x80") << "\\xED\\xA0\\x80";
        QTest::newRow("cut sequence") << std::string("\xe2\x82"
                                                     "x")
                                      << "\\xE2\\x82x";
        QTest::newRow("past U+10FFFF") << std::string("\xf4\x90\x80\x80") << "\\xF4\\x90\\x80\\x80";
    }
    void escapes() {
        QFETCH(std::string, name);
        QFETCH(QString, shown);
        testing::FakeStrings strings;
        const QString line =
            QString::fromStdString(fileLine(copied(name, "/dir/" + name), strings));
        QCOMPARE(line, shown + ": text:IDS_REASON_COPIED (" + shown + ")");
    }

    // The *_base64 members give back the exact bytes; the readable members
    // stay beside them.
    void jsonGivesBytesBack() {
        testing::FakeStrings strings;
        const std::string source = "caf\xe9\n\xc2\x9b.pdf";
        const QJsonObject withCopy =
            QJsonDocument::fromJson(QByteArray::fromStdString(fileJsonLine(
                                        copied(source, "/d/" + source + "_copy"), strings)))
                .object();
        QCOMPARE(QByteArray::fromBase64(withCopy["source_base64"].toString().toLatin1()),
                 QByteArray::fromStdString(source));
        QCOMPARE(QByteArray::fromBase64(withCopy["copy_base64"].toString().toLatin1()),
                 QByteArray::fromStdString("/d/" + source + "_copy"));
        QCOMPARE(withCopy["source"].toString(), QString::fromUtf8("caf\uFFFD\n\u009B.pdf"));
        const QJsonObject without =
            QJsonDocument::fromJson(
                QByteArray::fromStdString(fileJsonLine(copied(source, std::nullopt), strings)))
                .object();
        QVERIFY(without["copy"].isNull() && without["copy_base64"].isNull());
    }

    // The summary names the files not copied by reason, the first few in
    // the batch's order whatever order they finished in; -q keeps only
    // what a stop left undone.
    void summaryByReason() {
        testing::FakeStrings strings;
        BatchSummary summary;
        summary.total = 7;
        for (const std::size_t order : {4, 1, 3, 0}) {
            summary.add(FileReason::WrongPassword, order, "w" + std::to_string(order));
        }
        summary.add(FileReason::Empty, 6, "e6");
        summary.add(FileReason::Copied, 2, "c2");
        summary.notStarted = 1;
        const std::vector<std::string> expected = {
            "text:IDS_BATCH_SUMMARY",
            "text:IDS_BATCH_SUMMARY_REFUSED",
            "  text:IDS_REASON_WRONG_PASSWORD: 4 (w0, w1, w3, ...)",
            "  text:IDS_REASON_EMPTY: 1 (e6)",
            "text:IDS_BATCH_SUMMARY_CANCELLED",
        };
        QCOMPARE(summaryLines(summary, strings), expected);
        QCOMPARE(summaryLines(summary, strings, true),
                 std::vector<std::string>{"text:IDS_BATCH_SUMMARY_CANCELLED"});
        QCOMPARE(exitStatus(summary, false), kExitAttention);
    }
};

QTEST_GUILESS_MAIN(BatchReportTest)
#include "test_batch_report.moc"

#include "Fakes.h"
#include "fixtures/FixtureMaker.h"
#include "platform/qpdf/QpdfDocument.h"
#include "removal/DocumentOperations.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace pdfunlock;
using namespace pdfunlock::testing;
namespace fx = pdfunlock::fixtures;

Q_DECLARE_METATYPE(std::vector<std::string>)
Q_DECLARE_METATYPE(std::vector<int>)

class DocumentOperationsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QpdfDocumentService pdf_;

    // Per data row, so that rows never meet each other's files.
    std::string path(const QString& name) {
        return dir_
            .filePath(QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_') + "-" + name)
            .toStdString();
    }

    // An unlocked document from a freshly made file.
    std::shared_ptr<PDFDocument> open(const fx::Fixture& fixture, const QString& name) {
        const std::string file = path(name);
        fx::makeFixture(fixture, file);
        auto document = pdf_.initWithURL(file);
        if (document && document->isLocked()) {
            document->unlockWithPassword(fixture.userPassword);
        }
        return document;
    }

private slots:
    void copyKeepsOrder_data() {
        QTest::addColumn<int>("sourcePages");
        QTest::addColumn<int>("destinationPages");
        QTest::addColumn<std::vector<int>>("missing");
        QTest::addColumn<std::vector<std::string>>("expected");
        QTest::addColumn<std::vector<std::string>>("logged");

        QTest::newRow("into empty")
            << 3 << 0 << std::vector<int>{} << std::vector<std::string>{"S1", "S2", "S3"}
            << std::vector<std::string>{};
        QTest::newRow("after existing pages")
            << 2 << 2 << std::vector<int>{} << std::vector<std::string>{"D1", "D2", "S1", "S2"}
            << std::vector<std::string>{};
        QTest::newRow("one page") << 1 << 2 << std::vector<int>{}
                                  << std::vector<std::string>{"D1", "D2", "S1"}
                                  << std::vector<std::string>{};
        QTest::newRow("middle page missing")
            << 3 << 0 << std::vector<int>{1} << std::vector<std::string>{"S1", "S3"}
            << std::vector<std::string>{"1 page not exist! "};
        QTest::newRow("missing pages logged from the last down")
            << 4 << 1 << std::vector<int>{0, 3} << std::vector<std::string>{"D1", "S2", "S3"}
            << std::vector<std::string>{"3 page not exist! ", "0 page not exist! "};
        QTest::newRow("empty source")
            << 0 << 2 << std::vector<int>{} << std::vector<std::string>{"D1", "D2"}
            << std::vector<std::string>{};
    }
    void copyKeepsOrder() {
        QFETCH(int, sourcePages);
        QFETCH(int, destinationPages);
        QFETCH(std::vector<int>, missing);
        QFETCH(std::vector<std::string>, expected);
        QFETCH(std::vector<std::string>, logged);

        fx::Fixture source;
        source.pages = sourcePages;
        source.labelPrefix = "S";
        auto spy = std::make_shared<SpyDocument>(open(source, "source.pdf"));
        spy->missingPages.insert(missing.begin(), missing.end());

        std::shared_ptr<PDFDocument> destination = pdf_.init();
        if (destinationPages > 0) {
            fx::Fixture existing;
            existing.pages = destinationPages;
            existing.labelPrefix = "D";
            existing.security = fx::Security::None;
            destination = open(existing, "destination.pdf");
        }
        FakeLog log;
        copyTo(*spy, *destination, log);

        QCOMPARE(destination->pageCount(), static_cast<int>(expected.size()));
        QCOMPARE(log.lines, logged);
        // The page count is read once, whatever the number of pages.
        QCOMPARE(std::count(spy->calls.begin(), spy->calls.end(), "pageCount"), 1L);
        QVERIFY(destination->writeToFile(path("out.pdf"), 0600));
        QCOMPARE(fx::readPageLabels(path("out.pdf")), expected);
    }

    // Whether the copy is the whole source or joins pages already there.
    void linksBetweenCopiedPagesStillLand_data() {
        QTest::addColumn<int>("existingPages");
        QTest::newRow("into a new document") << 0;
        QTest::newRow("after pages already there") << 2;
    }
    void linksBetweenCopiedPagesStillLand() {
        QFETCH(int, existingPages);
        fx::Fixture source;
        source.pages = 4;
        source.links = {{0, 2, false}, {2, 0, true}, {3, 1, false}};
        auto document = open(source, "links.pdf");
        std::shared_ptr<PDFDocument> copy = pdf_.init();
        if (existingPages > 0) {
            fx::Fixture existing;
            existing.pages = existingPages;
            existing.security = fx::Security::None;
            copy = open(existing, "existing.pdf");
        }
        FakeLog log;
        copyTo(*document, *copy, log);
        QVERIFY(copy->writeToFile(path("links_copy.pdf"), 0600));
        const int e = existingPages;
        QCOMPARE(
            fx::readLinks(path("links_copy.pdf")),
            (std::vector<std::pair<int, int>>{{e + 0, e + 2}, {e + 2, e + 0}, {e + 3, e + 1}}));
    }

    void attributesRead_data() {
        QTest::addColumn<int>("creatorKind"); // 0 absent, 1 text, 2 UTF-16 text, 3 number
        QTest::addColumn<QString>("creator");
        QTest::addColumn<bool>("noInfo");
        QTest::addColumn<QString>("expectedCreator");
        QTest::addColumn<QString>("expectedProducer");

        QTest::newRow("no information dictionary") << 0 << "" << true << ""
                                                   << "";
        QTest::newRow("absent") << 0 << "" << false << ""
                                << "Producer X";
        QTest::newRow("text kept as is")
            << 1 << "  Tessivon Scan 2.0 " << false << "  Tessivon Scan 2.0 "
            << "Producer X";
        QTest::newRow("UTF-16 text")
            << 2 << "Tessivon スキャン Grüße" << false << "Tessivon スキャン Grüße"
            << "Producer X";
        QTest::newRow("number reads empty") << 3 << "42" << false << ""
                                            << "Producer X";
    }
    void attributesRead() {
        QFETCH(int, creatorKind);
        QFETCH(QString, creator);
        QFETCH(bool, noInfo);
        QFETCH(QString, expectedCreator);
        QFETCH(QString, expectedProducer);

        fx::Fixture fixture;
        fixture.noInfoDictionary = noInfo;
        fixture.producer = fx::Text{"Producer X"};
        switch (creatorKind) {
        case 0:
            fixture.creator = fx::Absent{};
            break;
        case 1:
            fixture.creator = fx::Text{creator.toStdString()};
            break;
        case 2:
            fixture.creator = fx::Utf16Text{creator.toStdString()};
            break;
        default:
            fixture.creator = creator.toLongLong();
        }
        auto document = open(fixture, "attributes.pdf");
        QCOMPARE(QString::fromStdString(getCreator(*document)), expectedCreator);
        QCOMPARE(QString::fromStdString(getProducer(*document)), expectedProducer);
    }

    // setCreator touches the Creator entry only, and the file holds the result.
    void setCreatorReplacesOnlyCreator_data() {
        QTest::addColumn<bool>("startWithout");
        QTest::addColumn<QString>("value");
        QTest::newRow("into no attributes") << true << "abc";
        QTest::newRow("over existing entries") << false << "Tessivon Scan — ü";
        QTest::newRow("empty text is stored") << false << "";
    }
    void setCreatorReplacesOnlyCreator() {
        QFETCH(bool, startWithout);
        QFETCH(QString, value);
        auto document = pdf_.init();
        if (!startWithout) {
            document->setDocumentAttributes(DocumentAttributes{
                {"Title", std::string("Quarterly")},
                {"Creator", 42LL},
                {"creator", std::string("lower-case key")},
            });
        }
        setCreator(*document, value.toStdString());
        DocumentAttributes expected{{"Creator", value.toStdString()}};
        if (!startWithout) {
            expected["Title"] = std::string("Quarterly");
            expected["creator"] = std::string("lower-case key");
        }
        QVERIFY(document->documentAttributes() == expected);

        // And it survives the file.
        QVERIFY(document->writeToFile(path("creator.pdf"), 0600));
        auto reread = pdf_.initWithURL(path("creator.pdf"));
        QVERIFY(reread);
        QVERIFY(reread->documentAttributes() == expected);
        QCOMPARE(QString::fromStdString(getCreator(*reread)), value);
    }
};

QTEST_APPLESS_MAIN(DocumentOperationsTest)
#include "test_document_operations.moc"

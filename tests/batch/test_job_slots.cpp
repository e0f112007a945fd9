// The jobs of a batch: never more at work than asked for, whoever waits for
// the disk meanwhile, and none left waiting for ever.
#include "batch/JobSlots.h"

#include <QtTest>
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

using namespace pdfunlock;

class JobSlotsTest : public QObject {
    Q_OBJECT

private slots:
    void atMostAsked_data() {
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("threads");
        QTest::newRow("one job, its disk waiter") << 1 << 2;
        QTest::newRow("two jobs, theirs") << 2 << 4;
        QTest::newRow("more threads than a run starts") << 3 << 12;
    }
    void atMostAsked() {
        QFETCH(int, asked);
        QFETCH(int, threads);
        JobSlots jobs(static_cast<std::size_t>(asked));
        std::atomic<int> atWork{0};
        std::atomic<int> most{0};
        std::atomic<int> done{0};
        const auto work = [&] {
            const int now = ++atWork;
            int seen = most.load();
            while (now > seen && !most.compare_exchange_weak(seen, now)) {
            }
            std::this_thread::yield();
            --atWork;
        };
        std::vector<std::thread> all;
        for (int t = 0; t < threads; ++t) {
            all.emplace_back([&] {
                for (int file = 0; file < 300; ++file) {
                    const JobSlots::Held slot(jobs);
                    work();
                    {
                        const BlockingWait sync(&jobs);
                        std::this_thread::yield(); // the disk: no slot held
                    }
                    work();
                }
                ++done;
            });
        }
        for (auto& thread : all) {
            thread.join();
        }
        QCOMPARE(done.load(), threads);
        QVERIFY2(most.load() <= asked, qPrintable(QString::number(most.load())));
        QVERIFY(most.load() >= 1);
    }
};

QTEST_GUILESS_MAIN(JobSlotsTest)
#include "test_job_slots.moc"

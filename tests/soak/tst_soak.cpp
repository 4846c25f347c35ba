// SPDX-License-Identifier: MIT
// A long run of the real Form1 against a board on a pseudo-terminal: tens of
// thousands of receptions (requests, rejected text, numbers that arrive in
// two reads, bursts during a page) with cell clicks, conversions and Start
// between them. Every request must be answered by exactly its page, in
// arrival order, and resident memory must stay flat.
#include "conversion.h"
#include "handler_boundary.h"
#include "image_picture.h"
#include "main_window.h"
#include "page_geometry.h"
#include "pty_board.h"
#include "serial_link.h"

#include <pixels/acht_bits.h>

#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <random>
#include <vector>

// AddressSanitizer keeps freed memory in quarantine, so resident memory grows
// under it whatever the program does; LeakSanitizer watches for leaks there.
#if defined(__SANITIZE_ADDRESS__)
#define KESTRIN_SOAK_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KESTRIN_SOAK_UNDER_ASAN 1
#endif
#endif

using namespace kestrin;
using kestrin::testing::PtyBoard;
using kestrin::testing::processEventsUntil;

namespace {

constexpr int kReceptions = 20'000;
constexpr int kWarmUpReceptions = 2'000;
constexpr long kRssGrowthLimitKb = 1024;
#ifdef KESTRIN_SOAK_UNDER_ASAN
constexpr bool kChecksResidentMemory = false;
#else
constexpr bool kChecksResidentMemory = true;
#endif
constexpr std::uint32_t kSeed = 20'240'611;
constexpr std::chrono::milliseconds kQuiet{50};
// Episodes, in percent: a single request, a single rejected text, or else a
// burst of 2..kMaxBurst receptions, one in kRejectedInBurst of them rejected.
// Each answered page costs the pseudo-terminal 61 round trips, which is what
// the run's length is made of.
constexpr int kSingleRequestPercent = 30;
constexpr int kSingleRejectedPercent = 55;
constexpr int kMaxBurst = 5;
constexpr int kRejectedInBurst = 3;
// User actions after an episode, in percent; besides, up to two cell clicks.
constexpr int kConvertPercent = 2;
constexpr int kStartPercent = 1;
// The page each request 0..8 asks for, and the page Start sends, as the
// board knows them.
constexpr std::array<int, 9> kPageOfRequest{5, 0, 1, 6, 7, 2, 3, 4, 0};
constexpr int kStartButtonPage = 4;
// A request that reaches the host in the middle of a page is read at one of
// the next yields, one or two octets later; this many leaves room for a
// board that hears the host late.
constexpr qsizetype kPickUpSlack = 16;

struct Reception
{
    QByteArray text;
    std::optional<int> request; // nullopt: the host rejects it
};

// Requests as the board might word them, with the request each one reads as.
const std::array<Reception, 25> kRequests{{
    {"0", 0}, {"1", 1}, {"2", 2}, {"3", 3}, {"4", 4}, {"5", 5}, {"6", 6}, {"7", 7}, {"8", 8},
    {" 3 ", 3}, {"+7", 7}, {"\t2\r\n", 2}, {"08", 8}, {"00000005", 5}, {"1.5", 2},
    {"2.5", 2}, {"0.5", 0}, {".5", 0}, {"4.", 4}, {"6.49", 6}, {"7.51", 8}, {"8.5", 8},
    {"-0", 0}, {"-0.4", 0}, {"5.000", 5},
}};

// Receptions the host must reject without writing anything.
const std::array<QByteArray, 41> kRejected{
    "a", "hello", "x1", "1x", "3 4", "1,5", " ", "\t \r\n", "9", "-1", "12", "10",
    "2147483647", "2147483648", "-2147483648", "99999999999999999999", "8.6", "-0.6",
    "+", "-", ".", "1.2.3", "+-1", "--1", "1e3", "&H3", "0x5",
    QByteArray("\x00", 1), QByteArray("3\x00", 2), "\x01", "\x03", "\x04", "\x11",
    "\x13", "\x7f", "\x1b[A", "\xff", "\x80\x81\xfe", "\xc3\xa9", "\xef\xbc\x93", "\x88",
};

QByteArray pageOctets(const FrameBuffer &buffer, int page)
{
    QByteArray octets;
    for (int column = 0; column < kPageColumns; ++column)
        octets.append(static_cast<char>(buffer.read(page, column)));
    return octets;
}

// The page and column that grid element e shows: grid row r holds band
// r mod 2 of picture r div 2, and display column x lies in half x div 61.
PageColumn placeOfElement(int element)
{
    const int row = element / kGridColumns;
    const int x = element % kGridColumns;
    return {4 * (row / 2) + 2 * (x / kPageColumns) + row % 2, x % kPageColumns};
}

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    }
    return 0;
}

// A page the wire must carry, and where on the wire it may start: not
// before the board sent its request and, when that happened in the middle
// of a page with more than kPickUpSlack octets to go, soon after.
struct Expected
{
    QByteArray octets;
    qsizetype earliest = 0;
    qsizetype latest = std::numeric_limits<qsizetype>::max();
};

// Whether the wire is the expected pages, started in order and nested as
// the host nests a request that arrives during a page: served whole at
// that point, the interrupted page resuming after it.
class NestingDecoder
{
public:
    NestingDecoder(const QByteArray &wire, const std::vector<Expected> &pages)
        : m_wire(wire), m_pages(pages), m_startDepth(pages.size(), 0)
    {
    }

    [[nodiscard]] bool matches() { return step(0); }
    // Of the match found: how many pages began inside another page, and the
    // deepest nesting (1: no page inside another).
    [[nodiscard]] int nestedStarts() const
    {
        return static_cast<int>(std::count_if(m_startDepth.begin(), m_startDepth.end(),
                                              [](std::size_t depth) { return depth > 0; }));
    }
    [[nodiscard]] std::size_t deepest() const
    {
        return m_startDepth.empty() ? 0 : 1 + *std::max_element(m_startDepth.begin(), m_startDepth.end());
    }

private:
    struct Open
    {
        std::size_t page;
        int column;
    };
    static constexpr long kStepBudget = 1'000'000;

    // Tries a new page first, since the host starts one as soon as it reads
    // the request, then the innermost open page; backtracks on a mismatch.
    bool step(qsizetype at)
    {
        if (--m_budget < 0)
            return false;
        if (at == m_wire.size())
            return m_open.empty() && m_started == m_pages.size();
        if (m_started < m_pages.size() && m_pages[m_started].latest < at)
            return false;
        const char octet = m_wire[at];
        if (m_started < m_pages.size() && m_pages[m_started].earliest <= at
            && m_open.size() < std::size_t{SerialLink::kMaxServeDepth} && m_pages[m_started].octets[0] == octet) {
            m_startDepth[m_started] = m_open.size();
            m_open.push_back({m_started++, 1});
            if (step(at + 1))
                return true;
            m_open.pop_back();
            --m_started;
        }
        if (m_open.empty() || m_pages[m_open.back().page].octets[m_open.back().column] != octet)
            return false;
        const Open resumed = m_open.back();
        if (resumed.column + 1 == kPageColumns)
            m_open.pop_back();
        else
            ++m_open.back().column;
        if (step(at + 1))
            return true;
        if (resumed.column + 1 == kPageColumns)
            m_open.push_back(resumed);
        else
            --m_open.back().column;
        return false;
    }

    const QByteArray &m_wire;
    const std::vector<Expected> &m_pages;
    std::vector<std::size_t> m_startDepth;
    std::vector<Open> m_open;
    std::size_t m_started = 0;
    long m_budget = kStepBudget;
};

struct Counts
{
    int receptions = 0;
    int requests = 0;
    int rejected = 0;
    int bursts = 0;
    int sentDuringPage = 0;
    int nestedPages = 0;
    std::size_t deepestNesting = 0;
    int clicks = 0;
    int converts = 0;
    int starts = 0;
    qint64 octets = 0;
};

// Form1 on the board's pseudo-terminal, driven like a user and a board would,
// with a model of the buffer kept from the clicks and conversions alone.
class Soak
{
public:
    Soak()
        : m_previousReporter(setErrorReporter([this](std::string_view handler, std::string_view) {
              ++m_reports;
              m_reportsFromElsewhere += handler != "port event" ? 1 : 0;
          })),
          m_window(std::make_unique<MainWindow>(m_board.slavePath())),
          m_convert(m_window->findChild<QPushButton *>(QStringLiteral("Command3"))),
          m_start(m_window->findChild<QPushButton *>(QStringLiteral("Command4")))
    {
        convertAll(ImagePicture::fromFile(QString::fromLatin1(kUpperPicturePath)),
                   ImagePicture::fromFile(QString::fromLatin1(kLowerPicturePath)), m_converted);
        m_window->show();
        m_board.setOnReceived([this](const QByteArray &chunk) {
            m_heard += chunk.size();
            sendDue();
        });
    }
    ~Soak()
    {
        m_window.reset();
        setErrorReporter(m_previousReporter);
    }
    Soak(const Soak &) = delete;
    Soak &operator=(const Soak &) = delete;

    [[nodiscard]] const Counts &counts() const { return m_counts; }
    [[nodiscard]] int reports() const { return m_reports; }
    [[nodiscard]] int reportsFromElsewhere() const { return m_reportsFromElsewhere; }
    [[nodiscard]] bool bufferMatchesModel() const { return m_window->frameBuffer() == m_model; }
    [[nodiscard]] PtyBoard &board() { return m_board; }

    // The greeting: read, and answered by nothing.
    [[nodiscard]] bool greet()
    {
        ++m_counts.receptions;
        return m_board.send("0") && m_board.waitUntilRead() && m_board.receiveFor(kQuiet).isEmpty();
    }

    // One episode: receptions from the board, then what the user does.
    // Returns what went wrong, or nothing.
    [[nodiscard]] QString runEpisode(std::mt19937 &random)
    {
        const QString failure = exchange(random);
        return failure.isEmpty() ? actAsUser(random) : failure;
    }

private:
    // The board's side of an episode: one request, one rejected text, or a
    // burst whose later receptions go out while earlier pages are on the wire.
    QString exchange(std::mt19937 &random)
    {
        const int kind = std::uniform_int_distribution<int>(0, 99)(random);
        std::vector<Reception> plan;
        if (kind < kSingleRequestPercent) {
            plan.push_back(pickRequest(random));
        } else if (kind < kSingleRequestPercent + kSingleRejectedPercent) {
            plan.push_back({pickRejected(random), std::nullopt});
        } else {
            const int size = std::uniform_int_distribution<int>(2, kMaxBurst)(random);
            plan.push_back(pickRequest(random));
            for (int item = 1; item < size; ++item) {
                const bool rejected = std::uniform_int_distribution<int>(1, kRejectedInBurst)(random) == 1;
                plan.push_back(rejected ? Reception{pickRejected(random), std::nullopt} : pickRequest(random));
            }
            ++m_counts.bursts;
        }
        return play(plan, random);
    }

    QString play(const std::vector<Reception> &plan, std::mt19937 &random)
    {
        m_plan = plan;
        m_next = 0;
        m_heard = 0;
        m_expected.clear();
        m_triggers.clear();
        for (std::size_t item = 1; item < plan.size(); ++item)
            m_triggers.push_back(std::uniform_int_distribution<qsizetype>(1, kPageColumns - 1)(random));
        m_sendFailed = !sendNext();
        const bool done = !m_sendFailed && processEventsUntil(
            [&] {
                sendDue(true);
                return m_sendFailed
                       || (m_next == m_plan.size() && octetsToCome() <= 0 && m_board.waitingForHost() == 0);
            },
            PtyBoard::kTimeout);
        const QByteArray wire = m_board.receive(m_heard, std::chrono::milliseconds(0));
        m_counts.octets += wire.size();
        if (m_sendFailed)
            return QStringLiteral("the board could not send");
        if (!done || octetsToCome() != 0)
            return QStringLiteral("%1 of %2 octets came").arg(wire.size()).arg(wire.size() + octetsToCome());
        NestingDecoder decoder(wire, m_expected);
        if (!decoder.matches())
            return QStringLiteral("the wire is not the requested pages: %1").arg(QString::fromLatin1(wire.toHex()));
        m_counts.nestedPages += decoder.nestedStarts();
        m_counts.deepestNesting = std::max(m_counts.deepestNesting, decoder.deepest());
        return {};
    }

    // Sends the next planned reception once the host has read the last one
    // and either enough of the answer has come or, with the host idle, at
    // once. A digit sent as soon as the host has read the one before is a
    // number split across two reads: two requests, never one.
    void sendDue(bool idle = false)
    {
        if (m_next == 0 || m_next >= m_plan.size() || m_board.waitingForHost() != 0)
            return;
        if (!idle && m_heard < m_triggers[m_next - 1] + m_sentAt)
            return;
        if (!idle)
            ++m_counts.sentDuringPage;
        if (!sendNext())
            m_sendFailed = true;
    }

    bool sendNext()
    {
        const Reception &reception = m_plan[m_next++];
        m_sentAt = m_heard;
        if (reception.request) {
            const int page = kPageOfRequest[static_cast<std::size_t>(*reception.request)];
            Expected expected{pageOctets(m_model, page), m_heard};
            if (octetsToCome() > kPickUpSlack)
                expected.latest = m_heard + kPickUpSlack;
            m_expected.push_back(expected);
        }
        return sendOne(reception);
    }

    // Octets of the pages asked for so far that the board has yet to hear.
    [[nodiscard]] qsizetype octetsToCome() const
    {
        qsizetype total = 0;
        for (const Expected &page : m_expected)
            total += page.octets.size();
        return total - m_heard;
    }

    bool sendOne(const Reception &reception)
    {
        ++m_counts.receptions;
        ++(reception.request ? m_counts.requests : m_counts.rejected);
        return m_board.send(reception.text);
    }

    Reception pickRequest(std::mt19937 &random) const
    {
        return kRequests[std::uniform_int_distribution<std::size_t>(0, kRequests.size() - 1)(random)];
    }

    QByteArray pickRejected(std::mt19937 &random) const
    {
        return kRejected[std::uniform_int_distribution<std::size_t>(0, kRejected.size() - 1)(random)];
    }

    // Between receptions: a few cell clicks, now and then "Convert" or "Start".
    QString actAsUser(std::mt19937 &random)
    {
        const int clicks = std::uniform_int_distribution<int>(0, 2)(random);
        for (int click = 0; click < clicks; ++click) {
            const int element = std::uniform_int_distribution<int>(0, kGridElements - 1)(random);
            const int bit = std::uniform_int_distribution<int>(0, kPageRows - 1)(random);
            QTest::mouseClick(m_window->grid().element(element), Qt::LeftButton, {}, QPoint(2, 4 * bit + 2));
            const PageColumn place = placeOfElement(element);
            m_model.write(place.page, place.column,
                          static_cast<std::uint8_t>(m_model.read(place.page, place.column) ^ (1U << bit)));
            ++m_counts.clicks;
        }
        const int action = std::uniform_int_distribution<int>(0, 99)(random);
        if (action < kConvertPercent) {
            QTest::mouseClick(m_convert, Qt::LeftButton);
            m_model = m_converted;
            ++m_counts.converts;
        } else if (action < kConvertPercent + kStartPercent) {
            QTest::mouseClick(m_start, Qt::LeftButton);
            ++m_counts.starts;
            const QByteArray expected = pageOctets(m_model, kStartButtonPage);
            const QByteArray wire = m_board.receive(kPageColumns);
            m_counts.octets += wire.size();
            if (wire != expected)
                return QStringLiteral("Start wrote %1").arg(QString::fromLatin1(wire.toHex()));
        }
        return {};
    }

    PtyBoard m_board;
    ErrorReporter m_previousReporter;
    std::unique_ptr<MainWindow> m_window;
    QPushButton *m_convert = nullptr;
    QPushButton *m_start = nullptr;
    FrameBuffer m_converted;
    FrameBuffer m_model;
    Counts m_counts;
    int m_reports = 0;
    int m_reportsFromElsewhere = 0;

    std::vector<Reception> m_plan;
    std::vector<qsizetype> m_triggers;
    std::vector<Expected> m_expected;
    std::size_t m_next = 0;
    qsizetype m_heard = 0;
    qsizetype m_sentAt = 0;
    bool m_sendFailed = false;
};

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void servesEveryRequestInOrderWithFlatMemory();
};

void TestSoak::servesEveryRequestInOrderWithFlatMemory()
{
    Soak soak;
    std::mt19937 random(kSeed);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(soak.greet());

    long warmRss = 0;
    while (soak.counts().receptions < kReceptions) {
        const QString failure = soak.runEpisode(random);
        QVERIFY2(failure.isEmpty(), qPrintable(QStringLiteral("after %1 receptions: %2")
                                                   .arg(soak.counts().receptions)
                                                   .arg(failure)));
        if (warmRss == 0 && soak.counts().receptions >= kWarmUpReceptions)
            warmRss = residentKilobytes();
    }
    const long endRss = residentKilobytes();
    const Counts &counts = soak.counts();

    qInfo("seed %u, %.1f s: %d receptions (the greeting, %d requests answered, %d rejected)",
          kSeed, static_cast<double>(clock.elapsed()) / 1000.0, counts.receptions, counts.requests,
          counts.rejected);
    qInfo("%d bursts: %d receptions sent while a page was on the wire, %d pages served inside "
          "another, nested %zu deep at most",
          counts.bursts, counts.sentDuringPage, counts.nestedPages, counts.deepestNesting);
    qInfo("%d cell clicks, %d conversions, %d Start presses; %lld octets read by the board",
          counts.clicks, counts.converts, counts.starts, static_cast<long long>(counts.octets));
    qInfo("resident memory: %ld kB after %d receptions, %ld kB at the end, growth %ld kB (limit %ld kB)",
          warmRss, kWarmUpReceptions, endRss, endRss - warmRss, kRssGrowthLimitKb);

    QVERIFY(soak.bufferMatchesModel());
    QVERIFY(counts.nestedPages > 0);
    QCOMPARE(soak.reports(), counts.rejected);
    QCOMPARE(soak.reportsFromElsewhere(), 0);
    QCOMPARE(soak.board().receiveFor(kQuiet), QByteArray());
    if (!kChecksResidentMemory) {
        qInfo("resident memory not checked: AddressSanitizer's quarantine grows it");
        return;
    }
    QVERIFY(warmRss > 0);
    QVERIFY2(endRss - warmRss < kRssGrowthLimitKb, qPrintable(QString::number(endRss - warmRss)));
}

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"

// SPDX-License-Identifier: MIT
// The serial link and the page sender played by a fuzz input, on a port
// double that checks every octet against the reception model and the order
// pages are served in. The script is the event loop: after each event the
// pages asked for go out octet by octet, and events may come between two
// octets. Built with KESTRIN_FUZZ_CORPUS, it replays that corpus instead of
// fuzzing.
#include "comm_port.h"
#include "handler_boundary.h"
#include "reception_model.h"
#include "run_time_error.h"
#include "page_sender.h"
#include "serial_link.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

namespace {

using namespace kestrin;

// A broken invariant is a finding: name it and abort, so that libFuzzer keeps
// the input and the corpus replay fails.
void require(bool holds, const char *invariant)
{
    if (holds)
        return;
    std::fprintf(stderr, "reception invariant broken: %s\n", invariant);
    std::abort();
}

// An input is a script: its first byte picks an operation, modulo OpCount,
// and the bytes after it are the operation's arguments. Past the end every
// byte reads 0 and every text is empty, so any input is a complete script.
//   Receive    n, n octets: one reception of that text
//   Request    b: the reception "<b mod 12 - 1>", -1..10
//   Event      b: a port event of kEventCodes
//   Edit       p, c, v: buffer byte (p mod 8, c mod 61) := v
//   FailWrite  k: the write after k more succeed fails
//   Gap        k: what follows runs between two octets, after the next k + 1
//   Resume     between two octets: the page goes on
//   Stop       between two octets: the window closes and every page stops
//   Reset      between events: the line is opened anew and greets again
enum Op : std::uint8_t { Receive, Request, Event, Edit, FailWrite, Gap, Resume, Stop, Reset, OpCount };

// The control's codes, then codes it does not know (65538 is the receive
// code if cut to 16 bits).
constexpr std::array<int, 18> kEventCodes{1001, 1004, 1006, 1008, 1009, 1010, 1011, 5, 3,
                                          4,    6,    2,    1,    7,    0,    8,    65538, -1};
constexpr int kReceive = 2;
// Open pages beyond which further requests wait for the next page to end.
constexpr std::size_t kNestingLimit = 8;

// One input against a freshly set-up serial link, on a port that records
// the set-up, hands out the event and text it was given, and takes an octet
// only as the next byte of the innermost page being served, as the buffer
// holds it at that moment. The pages the model expects open are kept here,
// innermost last, apart from the sender's own.
class Session final : public CommPort
{
public:
    explicit Session(std::span<const std::uint8_t> input) : m_input(input)
    {
        // Each page starts with a byte of its own, and no byte repeats within a page.
        for (int page = 0; page < kPageCount; ++page) {
            for (int column = 0; column < kPageColumns; ++column)
                m_buffer.write(page, column, static_cast<std::uint8_t>(page * kPageColumns + column));
        }
    }

    void run()
    {
        runHandler("load", [this] { m_link.setUp(); });
        require(m_setUp == "port 2;115200,N,8,1;threshold 1;input length 0;open", "the line is set up otherwise");
        while (!m_input.empty() && !m_stopped) {
            perform(static_cast<Op>(byte() % OpCount), false);
            sendPages();
        }
        require(m_stopped || m_pages.empty(), "a page is left unfinished");
    }

    void setCommPort(int number) override { m_setUp += "port " + std::to_string(number) + ";"; }
    void setSettings(std::string_view settings) override { m_setUp.append(settings) += ";"; }
    void setRThreshold(int n) override { m_setUp += "threshold " + std::to_string(n) + ";"; }
    void setInputLen(int n) override { m_setUp += "input length " + std::to_string(n) + ";"; }
    void setPortOpen(bool open) override { m_setUp += open ? "open" : "close"; }
    [[nodiscard]] int commEvent() const override { return m_event; }
    [[nodiscard]] std::string input() override
    {
        ++m_reads;
        return std::exchange(m_text, {});
    }

    void writeOctet(std::uint8_t octet) override
    {
        require(!m_stopped && !m_pages.empty(), "an octet is written where none is due");
        if (m_failIn >= 0 && m_failIn-- == 0) {
            m_pages.pop_back(); // a failed write ends its page
            throw RunTimeError("write to the port failed");
        }
        Page &page = m_pages.back();
        require(page.column < kPageColumns && octet == m_buffer.read(page.page, page.column),
                "an octet is not the next byte of its page");
        ++page.column;
        m_wrote = true;
    }

private:
    struct Page
    {
        int page = 0;
        int column = 0;
    };

    std::uint8_t byte() { return m_input.empty() ? 0 : static_cast<std::uint8_t>(text(1).front()); }
    std::string text(std::size_t length)
    {
        const auto taken = m_input.first(std::min(length, m_input.size()));
        m_input = m_input.subspan(taken.size());
        return {taken.begin(), taken.end()};
    }

    void perform(Op op, bool inYield)
    {
        if (op == Receive) {
            portEvent(kReceive, text(byte()));
        } else if (op == Request) {
            portEvent(kReceive, std::to_string(byte() % 12 - 1));
        } else if (op == Event) {
            portEvent(kEventCodes[byte() % kEventCodes.size()], {});
        } else if (op == Edit) {
            const int page = byte() % kPageCount;
            const int column = byte() % kPageColumns;
            m_buffer.write(page, column, byte());
        } else if (op == FailWrite) {
            m_failIn = byte();
        } else if (op == Gap) {
            m_gap = byte();
        } else if (op == Reset && !inYield) { // a line reopens between events, never inside a page
            m_link.resetProtocol();
            m_model.reset();
            m_waiting.clear();
        } // Resume and Stop act only between two octets
    }

    // A page asked for starts at once, inside the page in progress, unless
    // kNestingLimit pages are open; then it waits.
    void portEvent(int code, std::string text)
    {
        const std::size_t open = m_pages.size();
        if (code == kReceive) {
            ++m_expectedReads;
            if (const std::optional<int> page = m_model.receive(text)) {
                m_waiting.push_back(*page);
                if (open < kNestingLimit)
                    startNextWaiting();
            }
        }
        m_event = code;
        m_text = std::move(text);
        runHandler("port event", [this] { m_link.portEvent(); });
        require(m_link.state() == m_model.state(), "the protocol state differs");
        require(m_sender.waitingRequests() == m_waiting.size(), "a waiting request is lost or made up");
        require(m_sender.openPages() == m_pages.size() && m_pages.size() >= open, "a page asked for is not open");
        require(m_reads == m_expectedReads, "the input is read other than once per data-received event");
    }

    // The event loop's turns after an event: one octet each, until no page
    // is left, with the script's events between two octets where a gap ends.
    void sendPages()
    {
        while (m_sender.busy() && !m_stopped) {
            m_wrote = false;
            runHandler("page sender", [this] { m_sender.sendNext(m_buffer, *this); });
            if (m_wrote)
                afterOctet();
            require(m_stopped || m_sender.openPages() == m_pages.size(), "the pages in progress differ");
        }
    }

    void startNextWaiting()
    {
        m_pages.push_back({m_waiting.front()});
        m_waiting.pop_front();
    }

    // After every octet of a page: closes a finished page and starts the
    // oldest waiting one, then runs the script here when a gap ends.
    void afterOctet()
    {
        if (m_pages.back().column == kPageColumns) {
            m_pages.pop_back();
            if (!m_waiting.empty())
                startNextWaiting();
        }
        if (m_gap >= 0 && m_gap-- == 0)
            runBetweenOctets();
    }

    void runBetweenOctets()
    {
        while (!m_input.empty() && !m_stopped) {
            const auto op = static_cast<Op>(byte() % OpCount);
            if (op == Resume)
                return;
            if (op == Stop) {
                m_stopped = true;
                m_sender.clear();
            } else {
                perform(op, true);
            }
        }
    }

    std::span<const std::uint8_t> m_input; // what is left of the script
    FrameBuffer m_buffer;
    test::ReceptionModel m_model;
    PageSender m_sender;
    SerialLink m_link{*this, m_sender};
    std::string m_setUp;
    int m_event = 0;
    std::string m_text;
    long m_reads = 0;
    long m_expectedReads = 0;
    std::vector<Page> m_pages; // innermost last
    std::deque<int> m_waiting;
    int m_failIn = -1;
    int m_gap = -1;
    bool m_wrote = false;
    bool m_stopped = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Many inputs end handlers with errors on purpose; a line on stderr for
    // each would only slow the run.
    kestrin::setErrorReporter([](std::string_view, std::string_view) {});
    Session({data, size}).run();
    return 0;
}

#ifdef KESTRIN_FUZZ_CORPUS
int main()
{
    int seeds = 0;
    for (const auto &seed : std::filesystem::directory_iterator(KESTRIN_FUZZ_CORPUS)) {
        std::fprintf(stderr, "%s\n", seed.path().filename().c_str());
        std::ifstream file(seed.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), {}};
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
        ++seeds;
    }
    return seeds >= 24 ? 0 : 1;
}
#endif

#pragma once

#include "app/ics/ics_internal.h"
#include "app/ics/ics_zone_resolver.h"

#include <QCryptographicHash>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nelvo {

class IcsLineScanner;

// Reads one iCalendar text into a document's data: walks the content lines, keeps the
// calendar's name and colour, collects each VEVENT's useful lines for libical, and each
// VTIMEZONE's text, then resolves every event's times.
class IcsParser {
public:
    IcsParser(std::string_view text, const IcsDocument::Options& options, IcsDocument::Data& data,
              std::optional<std::string> fixedNameAddress);

    // Empty when done; else the calendar's own address turned out different after events
    // were read, and the text must be read again with it.
    std::optional<std::string> run();

private:
    enum class Where { outside, calendar, event, timezone, skipping };

    void refreshAddresses();
    void problem(SourceProblem::Kind kind, std::string message);
    void skipEvent(int line, const std::string& why);
    std::string at(int line) const;

    void handle(IcsLineScanner& scanner);
    void handleCalendar(IcsLineScanner& scanner, bool isBegin, bool isEnd, std::string_view value);
    void handleEvent(IcsLineScanner& scanner, bool isBegin, bool isEnd, std::string_view value);
    void handleTimezone(IcsLineScanner& scanner, bool isBegin, bool isEnd);
    void calendarProperty(std::string_view name, std::string_view line);
    void calendarName(std::string_view name, std::string_view value);
    void eventProperty(std::string_view name, std::string_view line, int lineNo);
    // False when the line is malformed in a way that is warned about and left out.
    bool isWellFormed(std::string_view name, std::string_view line, int lineNo);
    void noteAnswer(std::string_view line);

    void beginEvent(int lineNo);
    void keep(std::string_view name, std::string_view line);
    void endEvent();
    void beginTimezone();
    void endTimezone();
    void resolve();

    std::string_view m_text;
    const IcsDocument::Options& m_options;
    IcsDocument::Data& m_data;
    std::optional<std::string> m_fixedNameAddress;
    IcsZoneResolver m_zones;

    std::vector<std::string> m_userAddresses;
    std::string m_nameAddress;
    std::vector<std::string> m_addresses;
    bool m_sawName = false;
    bool m_sawWrName = false;
    bool m_sawColor = false;
    bool m_sawAttendeeBeforeName = false;
    std::optional<std::string> m_rescanAddress;
    bool m_stopped = false;

    Where m_where = Where::outside;
    int m_nestedCalendars = 0;  // VCALENDARs opened inside the open one
    int m_depth = 0;
    int m_blockLine = 0;
    bool m_blockTooLong = false;
    bool m_blockHasStart = false;
    bool m_blockIsInvitation = false;
    std::vector<std::string> m_blockAnswered;  // attendees who answered, normalized, once each
    std::string m_blockSkip;                   // why the event in the block is skipped, when it is
    std::string m_block;
    std::string m_tzid;
    QCryptographicHash m_identity{QCryptographicHash::Sha256};
};

}  // namespace nelvo

#include "app/ics/ics_line_scanner.h"

#include "app/ics/ics_text.h"

#include <algorithm>

namespace nelvo {

IcsLineScanner::IcsLineScanner(std::string_view text) : m_text(text)
{
    if (m_text.substr(0, 3) == "\xEF\xBB\xBF")
        m_text.remove_prefix(3);
}

bool IcsLineScanner::next()
{
    const std::string_view text = m_text;
    while (m_pos < text.size()) {
        m_lineNumber = ++m_physicalLines;
        std::size_t end = text.find('\n', m_pos);
        if (end == std::string_view::npos)
            end = text.size();
        m_first = text.substr(m_pos, end - m_pos);
        if (!m_first.empty() && m_first.back() == '\r')
            m_first.remove_suffix(1);
        m_pos = std::min(end + 1, text.size());
        const std::size_t continuations = m_pos;
        while (m_pos < text.size() && (text[m_pos] == ' ' || text[m_pos] == '\t')) {
            ++m_physicalLines;
            const std::size_t e = text.find('\n', m_pos);
            m_pos = e == std::string_view::npos ? text.size() : e + 1;
        }
        m_folded = text.substr(continuations, m_pos - continuations);
        if (m_first.empty() && m_folded.empty())
            continue;
        m_isJoined = false;
        m_name = IcsText::propertyName(m_first);
        if (m_name.size() == m_first.size() && !m_folded.empty())
            m_name = IcsText::propertyName(line());
        return true;
    }
    return false;
}

std::string_view IcsLineScanner::line()
{
    if (m_folded.empty())
        return m_first;
    if (m_isJoined)
        return m_joined;
    m_joined.assign(m_first);
    std::size_t p = 0;
    while (p < m_folded.size()) {
        std::size_t e = m_folded.find('\n', p);
        if (e == std::string_view::npos)
            e = m_folded.size();
        std::string_view part = m_folded.substr(p + 1, e - p - 1);
        if (!part.empty() && part.back() == '\r')
            part.remove_suffix(1);
        m_joined.append(part);
        p = e + 1;
    }
    m_isJoined = true;
    return m_joined;
}

}  // namespace nelvo

#include "cli/Json.h"

#include <cstdio>

#include "storage/Bytes.h"

namespace tw::cli {

JsonWriter::~JsonWriter() {
    wipe(m_out.data(), m_out.size());
}

void JsonWriter::separate() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_first.empty()) {
        if (!m_first.back()) m_out += ',';
        m_first.back() = false;
    }
}

JsonWriter& JsonWriter::beginObject() {
    separate();
    m_out += '{';
    m_first.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    m_out += '}';
    m_first.pop_back();
    if (m_first.empty() && !m_fragment) m_out += '\n';
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    separate();
    m_out += '[';
    m_first.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    m_out += ']';
    m_first.pop_back();
    if (m_first.empty() && !m_fragment) m_out += '\n';
    return *this;
}

JsonWriter& JsonWriter::raw(std::string_view json) {
    separate();
    m_out += json;
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    value(name);
    m_out += ':';
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
    separate();
    m_out += '"';
    for (const char c : text) {
        switch (c) {
            case '"':
                m_out += "\\\"";
                break;
            case '\\':
                m_out += "\\\\";
                break;
            case '\n':
                m_out += "\\n";
                break;
            case '\r':
                m_out += "\\r";
                break;
            case '\t':
                m_out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                    m_out += escaped;
                } else {
                    m_out += c;
                }
        }
    }
    m_out += '"';
    return *this;
}

JsonWriter& JsonWriter::value(std::int64_t number) {
    separate();
    m_out += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
    separate();
    m_out += flag ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null() {
    separate();
    m_out += "null";
    return *this;
}

}  // namespace tw::cli

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tw::cli {

// Writes JSON (RFC 8259) into a string, keys in the order they are written. Texts are UTF-8;
// control characters, quotes and backslashes are escaped. The caller keeps the nesting right.
class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(std::string_view name);
    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(std::int64_t number);
    JsonWriter& value(bool flag);
    JsonWriter& null();
    // Writes `json`, one value formed by a fragment writer, as the next value.
    JsonWriter& raw(std::string_view json);

    // A writer for one value that goes into another writer with raw(): it ends without the line
    // feed of a whole document.
    static JsonWriter fragment() {
        JsonWriter writer;
        writer.m_fragment = true;
        return writer;
    }

    // The text so far; with a final line feed once everything is closed.
    const std::string& text() const { return m_out; }
    // Wipes the text (it may hold secrets).
    ~JsonWriter();
    JsonWriter() = default;
    JsonWriter(JsonWriter&&) = default;
    JsonWriter& operator=(JsonWriter&&) = delete;

private:
    void separate();

    std::string m_out;
    std::vector<bool> m_first;  // per open level: nothing written in it yet
    bool m_afterKey = false;
    bool m_fragment = false;
};

}  // namespace tw::cli

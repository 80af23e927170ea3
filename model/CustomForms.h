#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/Form.h"
#include "platform/File.h"

namespace tw {

// Outcome of loading a custom forms file (".tcd"). The values are fixed: callers map them to
// messages.
enum class CustomFormsResult : int {
    Done = 0,         // read through; also when it held no form worth keeping
    Unreadable = 1,   // missing, empty, unreadable or too large to hold
    NoHeader = 2,     // the first line is not the custom forms header in either encoding
    SyntaxError = 3,  // at least one bad line was met; the good forms around it are kept
};

// The custom forms file: a text file of form definitions, 8-bit (Windows-1252) or UTF-16LE
// without byte-order mark, the encoding being the one in which its header line matches:
//
//   <HalvorsgardenTallowmereCustomForms.1>
//   <MyForm>                 ; markers: whole line, any case
//   Form name                ; up to 63 characters, longer names are cut
//   1000                     ; form number, at most 10 characters
//   7                        ; icon number, at most 2 characters
//   1 TMF_DEFAULT User name  ; field number, format keyword, field name (cut to 63)
//   <EndForm>
//
// Lines end in LF (normally CR LF) and are at most 512 bytes; longer ones are split there.
// ";" starts a comment; trailing spaces are dropped; blank lines are skipped. A form is kept when
// it is numbered 1000 or more and has a field; fields past the 50th are ignored.
class CustomForms {
public:
    static constexpr std::size_t kMaxFileBytes = 16u << 20;  // larger files are refused (result 1)
    static constexpr std::size_t kMaxFields = 50;            // per form in the file

    // Reads the file through `files` and parses it, replacing what was loaded before.
    CustomFormsResult load(FileSystem& files, const std::string& path);
    // Parses the file's bytes, replacing what was loaded before. Any byte sequence is accepted.
    CustomFormsResult parse(std::span<const std::uint8_t> bytes);
    void release() { m_forms.clear(); }

    // The first loaded form with this number, or nullptr. The pointer lives until the next load,
    // parse or release.
    const Form* find(std::uint32_t number) const;
    const std::vector<Form>& forms() const { return m_forms; }

private:
    std::vector<Form> m_forms;
};

}  // namespace tw

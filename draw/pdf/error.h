// What went wrong in the PDF writer, as a value the caller decides about.
#pragma once

#include <string>

namespace pdf {

enum class ErrorCode {
    None,
    FontUnreadable,    // not a font file HarfBuzz can read, or no such face in it
    FontNotEmbeddable, // readable (outlines can be drawn) but cannot be subset and embedded
    BadGlyph,          // a glyph id beyond the face's glyphs
    BadImage,          // a picture whose pixels do not match its size
    SubsetFailed,      // the subsetter refused the glyphs of a whole job
    WriteFailed,       // the output could not be written
};

struct Error {
    ErrorCode code = ErrorCode::None;
    std::string message; // for a person: what and which file

    explicit operator bool() const { return code != ErrorCode::None; }
};

} // namespace pdf

#pragma once
// The options that widen what the readers accept. Off (the default), every reader takes exactly
// the files it has always taken; each caller passes the options on explicitly, from the window's
// setting or the command line's -x/--extended, so that nothing depends on a global switch.

namespace varnix {

struct FormatOptions {
    // "Extended formats": MPEG video of any picture size, MPEG program and transport streams,
    // and the audio variants that today's encoders write by default.
    bool extended = false;

    friend bool operator==(const FormatOptions&, const FormatOptions&) = default;
};

}  // namespace varnix

#pragma once

// Why a channel shows no live picture: a source that cannot be played as written, or what went
// wrong while it played.
enum class VideoProblem {
    None,
    // The text of the source.
    UnknownScheme,
    MalformedUrl,
    UnknownPattern,
    // While playing.
    FileMissing,
    Unreachable,
    NoAnswer,
    NotFound,
    Unauthorized,
    Undecodable,
    EndOfStream,
    NoFrames,
    StreamFailed,
};

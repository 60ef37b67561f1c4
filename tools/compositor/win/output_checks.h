// File-level guards around the AVIFile calls.
#pragma once

#include <string>

// False for a file whose RIFF structure is damaged or truncated: AVIFile crashes while
// reading such a file, so it is refused before it is opened.
bool avi_input_readable(const std::wstring& path);

// Deletes an existing output. On failure fills `message` with the reason and returns false.
bool remove_existing_output(const std::wstring& path, std::wstring& message);

// Corrects in place the header fields the platform's writer may get wrong. False when the
// written file cannot be read back as a sound AVI.
bool fix_up_output(const std::wstring& path);

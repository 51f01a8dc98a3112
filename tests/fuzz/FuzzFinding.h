#pragma once

// What the fuzzing targets check beyond the sanitizers.

namespace brevanto::graphics {
class Bitmap;
}

namespace fuzz {

// Reports a broken promise on stderr and aborts, which libFuzzer records as a crash.
[[noreturn]] void finding(const char* what);

// What an accepted bitmap must allow, as the program uses a loaded page: it is not empty, every
// pixel and palette entry reads, it writes as a BMP file and a packed DIB that read back to the
// same bitmap, and a small one converts to 24 bits for the preview.
void checkAcceptedBitmap(const brevanto::graphics::Bitmap& bitmap);

}  // namespace fuzz

#pragma once

class TStream;

// The first line of the file: "%PDF-1.2 " CR LF (11 bytes).
class TPdfHeader {
  public:
    void WriteTo(TStream& stream) const;
};

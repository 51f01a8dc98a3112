#pragma once

// The empty base of the report component (TPReport), so that the document layer can name
// report components without depending on them.
class TAbstractPReport {
  public:
    virtual ~TAbstractPReport() = default;
};

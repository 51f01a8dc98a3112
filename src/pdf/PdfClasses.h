#pragma once

// Registers every named class of the PDF writer (the twelve standard fonts and the image
// creators) in the class registry. Called once at program start, before any document exists.
void RegisterPdfClasses();

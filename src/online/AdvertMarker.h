#pragma once

#include <QString>

// Whether an advertisement page is complete: its HTML carries "<!--done-->", compared with
// ASCII letters upper-cased on both sides.
bool HasDoneMarker(const QString& html);

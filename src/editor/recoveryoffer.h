#pragma once

#include <QString>

class QWidget;

namespace bp {

// Offers back the recovery copies that killed compiles left in dir, one
// question each. Yes puts the copy's bytes back into its file and
// deletes the copy; No keeps both, to be offered again at the next start.
// A copy that cannot be put back is reported, and stays.
void OfferRecoveryCopies(QWidget* parent, const QString& dir);

} // namespace bp

#include "editor/recoveryoffer.h"

#include "model/recoverycopy.h"
#include "platform/guarded.h"
#include "platform/prompter.h"

namespace bp {

void OfferRecoveryCopies(QWidget* parent, const QString& dir)
{
    for (const TLeftRecoveryCopy& left : FindLeftRecoveryCopies(dir)) {
        if (ask(parent, RecoveryQuestion(left), MsgType::Confirmation, MsgButtons::YesNo) ==
            MsgResult::Yes)
            guarded(parent, [&] { RestoreRecoveryCopy(left); });
    }
}

} // namespace bp

#include "ui/HandlerRunner.h"

#include "core/DtuError.h"
#include "core/Frontend.h"
#include "session/ActionDispatcher.h"
#include "session/DtuSession.h"
#include "ui/ParamEditors.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <memory>

HandlerRunner::HandlerRunner(DtuSession &session, ActionDispatcher &dispatcher, ParamEditors &editors)
    : session_(session), dispatcher_(dispatcher), editors_(editors)
{
}

void HandlerRunner::Guarded(const std::function<void()> &fn) const
{
    try {
        fn();
    } catch (const DtuError &error) {
        session_.frontend().ShowError(error.text());
    } catch (const std::exception &error) {
        session_.frontend().ShowError(QString::fromLocal8Bit(error.what()));
    }
}

void HandlerRunner::RunDevice(std::function<void()> fn)
{
    // Noted when the action's turn comes: the lock moves the focus away.
    struct Before {
        QPointer<QWidget> focus;
        const ParamTableModel *active = nullptr;
    };
    auto before = std::make_shared<Before>();
    dispatcher_.Submit({
        .kind = ActionDispatcher::Kind::Press,
        .action = [this, fn = std::move(fn)] { Guarded(fn); },
        .before =
            [this, before] {
                before->focus = QApplication::focusWidget();
                before->active = session_.ActiveTable();
                return true;
            },
        .after =
            [this, before] {
                // The action chose another parameter channel: the editors
                // move to the table that is active now.
                if (session_.ActiveTable() != before->active)
                    editors_.SetUpActive();
                if (before->focus && before->focus->isEnabled() && before->focus->isVisible())
                    before->focus->setFocus();
                if (afterDevice)
                    afterDevice();
            },
    });
}

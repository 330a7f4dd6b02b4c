#include "ui/ExtendedPage.h"

#include "actions/ParamActions.h"
#include "session/DtuSession.h"
#include "ui/HandlerRunner.h"
#include "ui/WidgetHelpers.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

using namespace WidgetHelpers;

ExtendedPage::ExtendedPage(DtuSession &session, HandlerRunner &run, Recorder &recorder)
    : WindowPage("TabSheet5", session, run), recorder_(recorder)
{
    ListView2 = Named(new QTableView, "ListView2", tr("接口参数表"));
    ListView2->setModel(&session_.extTable);
    SetUpParamTable(ListView2, 200, 180, 325);

    auto *box = Named(new QGroupBox(tr("扩展参数设置")), "GroupBox6");
    auto *boxLayout = new QHBoxLayout(box);
    boxLayout->addWidget(
        DeviceButton("Button16", tr("读取"), [this] { Actions::Read(session_, recorder_, Actions::Page::Extended); }));
    boxLayout->addWidget(DeviceButton("Button17", tr("设置"),
                                      [this] { Actions::Write(session_, recorder_, Actions::Page::Extended, {}); }));
    boxLayout->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ListView2, 1);
    layout->addWidget(box);
}

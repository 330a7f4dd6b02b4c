// The one guard of "one device action at a time": RunAction, as every front
// end starts device work, and the ActionScope under it. An action started
// while another runs sends nothing; the lock signal follows start and end
// however the action ends.
#include "core/DtuError.h"
#include "ops/ControlMode.h"
#include "ops/ParamFile.h"
#include "ops/TransparentTest.h"
#include "session/ActionScope.h"
#include "support/Frames.h"
#include "support/VirtualRig.h"
#include "support/TestMain.h"

#include <QSignalSpy>
#include <QTest>

class ActionScopeTest : public QObject {
    Q_OBJECT
private slots:
    void runsTheActionAndGivesItsVerdict()
    {
        VirtualRig rig;
        rig.AnswerEveryFrame(TestFrames::ByteReply(0xE004, 5));
        QVERIFY(RunAction(rig.session, [&] { return ControlMode::ReadStatus(rig.session).Ok(); }));
        QCOMPARE(rig.device.written.size(), 1);
        // A failed command is a false verdict, as for a refusal.
        rig.device.responder = nullptr;
        QVERIFY(!RunAction(rig.session, [&] { return ControlMode::ReadStatus(rig.session).Ok(); }));
        // An action without a verdict counts as run.
        bool ran = false;
        QVERIFY(RunAction(rig.session, [&] { ran = true; }));
        QVERIFY(ran);
    }

    // Whatever the second action is, it starts nothing while the first runs:
    // no frame, no raw bytes, no question, no line.
    void secondActionRefused()
    {
        VirtualRig rig;
        rig.AnswerEveryFrame(TestFrames::kAck);
        ActionScope running(rig.session);
        QVERIFY(running);
        QVERIFY(rig.session.ActionRunning());
        QVERIFY(!RunAction(rig.session, [&] { return ControlMode::ReadStatus(rig.session).Ok(); }));
        QVERIFY(!RunAction(rig.session, [&] { return ControlMode::SetClock(rig.session); }));
        QVERIFY(!RunAction(rig.session, [&] { ParamFile::ResetMenu(rig.session); }));
        QVERIFY(!RunAction(rig.session, [&] {
            return TransparentTest::Send(rig.session, QStringLiteral("AB"), QStringLiteral("1"), false);
        }));
        ActionScope nested(rig.session);
        QVERIFY(!nested);
        QVERIFY(rig.device.written.isEmpty());
        QVERIFY(rig.fe.controlMemo.isEmpty() && rig.fe.transparent.isEmpty() && rig.fe.memo.isEmpty());
        QVERIFY(rig.fe.questions.isEmpty());
    }

    // The window locks its controls from this signal alone: once at the
    // start, once at the end, also when the action ends with an error, and
    // never for a refused start.
    void lockSignalFollowsStartAndEnd()
    {
        VirtualRig rig;
        QSignalSpy running(&rig.session, &DtuSession::actionRunningChanged);
        bool runningInside = false;
        QVERIFY(RunAction(rig.session, [&] {
            runningInside = rig.session.ActionRunning();
            QVERIFY(!RunAction(rig.session, [] {}));
        }));
        QVERIFY(runningInside);
        QCOMPARE(running.size(), 2);
        QCOMPARE(running[0].value(0).toBool(), true);
        QCOMPARE(running[1].value(0).toBool(), false);
        QVERIFY(!rig.session.ActionRunning());

        running.clear();
        QVERIFY_THROWS_EXCEPTION(DtuError,
                                 RunAction(rig.session, [] { throw DtuError(QStringLiteral("脚本出错")); }));
        QCOMPARE(running.size(), 2);
        QVERIFY(!rig.session.ActionRunning());
        // The next action starts as usual.
        rig.AnswerEveryFrame(TestFrames::kAck);
        QVERIFY(RunAction(rig.session, [&] { return ControlMode::SetClock(rig.session); }));
    }
};

DTU_TEST_GUILESS(ActionScopeTest)
#include "tst_action_scope.moc"

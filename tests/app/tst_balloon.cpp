#include "app/Balloon.h"
#include "app/BalloonPresenter.h"
#include "app/SilentAbort.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <memory>

// Tests of the balloon messages and the required-field check, on the offscreen platform.
class TestBalloon : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QWidget> window_;
    QLineEdit* edit_ = nullptr;
    QComboBox* combo_ = nullptr;

private slots:
    void init() {
        window_ = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window_.get());
        edit_ = new QLineEdit(window_.get());
        combo_ = new QComboBox(window_.get());
        combo_->setEditable(true);
        layout->addWidget(edit_);
        layout->addWidget(combo_);
        window_->move(100, 100);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        window_->activateWindow();
        edit_->setFocus();
    }

    void cleanup() {
        if (BalloonPresenter::hasInstance())
            BalloonPresenter::instance()->hideMessage();
        window_.reset();
    }

    void errorBalloonShowsAndHidesAfterItsTime() {
        QElapsedTimer clock;
        clock.start();
        ShowBalloon(edit_, "Folder name exists", BalloonKind::Error);
        BalloonPresenter* presenter = BalloonPresenter::instance();
        QVERIFY(presenter->isShowing());
        QCOMPARE(presenter->header(), QString("ERROR"));
        QCOMPARE(presenter->text(), QString("Folder name exists"));
        QCOMPARE(presenter->anchorPosition(),
                 edit_->mapToGlobal(QPoint(edit_->width() / 2, edit_->height())));
        QVERIFY(presenter->geometry().top() >= presenter->anchorPosition().y());
        QVERIFY(presenter->geometry().left() >= presenter->anchorPosition().x());
        QCOMPARE(QApplication::focusWidget(), edit_);

        QTest::qWait(1200);
        QVERIFY(presenter->isShowing());
        QTRY_VERIFY_WITH_TIMEOUT(!presenter->isShowing(), 1500);
        QVERIFY(clock.elapsed() >= 1500);
    }

    void informationBalloon() {
        ShowBalloon(combo_, "Backup complete", BalloonKind::Information);
        BalloonPresenter* presenter = BalloonPresenter::instance();
        QVERIFY(presenter->isShowing());
        QCOMPARE(presenter->header(), QString("INFORMATION"));
        QCOMPARE(presenter->text(), QString("Backup complete"));
        QCOMPARE(presenter->anchorPosition(),
                 combo_->mapToGlobal(QPoint(combo_->width() / 2, combo_->height())));
    }

    void unknownKindShowsNothing() {
        ShowBalloon(edit_, "nothing", static_cast<BalloonKind>(7));
        BalloonPresenter* presenter = BalloonPresenter::instance(window_.get());
        QVERIFY(!presenter->isShowing());
        QVERIFY(presenter->text() != QString("nothing"));
    }

    void presenterCreatedByItsOwnerIsUsed() {
        auto owned = std::make_unique<BalloonPresenter>(window_.get());
        QCOMPARE(BalloonPresenter::instance(), owned.get());
        QCOMPARE(owned->defaultHeader(), QString("Hint"));
        ShowBalloon(edit_, "owned", BalloonKind::Error);
        QVERIFY(owned->isShowing());
        QCOMPARE(owned->text(), QString("owned"));
        owned.reset();
        // With its owner gone, the next balloon gets a presenter of its own.
        ShowBalloon(edit_, "again", BalloonKind::Error);
        QCOMPARE(BalloonPresenter::instance()->text(), QString("again"));
    }

    void requireTextPassesBlanks() {
        edit_->setText("   ");
        RequireText(edit_);
        combo_->setEditText(" ");
        RequireText(combo_);
        QVERIFY(!BalloonPresenter::hasInstance() || !BalloonPresenter::instance()->isShowing());
    }

    void requireTextAbortsOnEmpty() {
        edit_->clear();
        QVERIFY_THROWS_EXCEPTION(SilentAbort, RequireText(edit_));
        BalloonPresenter* presenter = BalloonPresenter::instance();
        QVERIFY(presenter->isShowing());
        QCOMPARE(presenter->header(), QString("ERROR"));
        QCOMPARE(presenter->text(), QString("Null Value Not Allowed"));
        QCOMPARE(presenter->anchorPosition(),
                 edit_->mapToGlobal(QPoint(edit_->width() / 2, edit_->height())));

        presenter->hideMessage();
        combo_->setEditText("");
        QVERIFY_THROWS_EXCEPTION(SilentAbort, RequireText(combo_));
        QVERIFY(presenter->isShowing());
    }
};

QTEST_MAIN(TestBalloon)
#include "tst_balloon.moc"

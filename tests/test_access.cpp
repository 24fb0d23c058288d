// The panel without a mouse and for a screen reader: the master switch by
// Tab and Space or Enter, the names the accessibility bus reads, Ctrl+Q, F1
// and the Alt keys of the menus; and the window's size and place kept per
// user between runs.
#include "shell/desktop_start.h"
#include "shell/form1.h"
#include "support/controls.h"
#include "support/file_bytes.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>

class TestAccess : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<Form1> form_;
    QList<QUrl> opened_;
    bool openWorks_ = true;

    QString programDir() const { return dir_->filePath(QStringLiteral("prefix/bin")); }
    QString userDir() const { return dir_->filePath(QStringLiteral("config/pramelor")); }
    template <class W = QWidget>
    W *find(const QString &name) const
    {
        return panel::control<W>(form_.get(), name);
    }
    std::unique_ptr<Form1> start()
    {
        Form1::Setup s;
        s.programDir = programDir();
        s.userDir = userDir();
        s.quitApplication = false;
        s.openUrl = [this](const QUrl &url) {
            opened_ << url;
            return openWorks_;
        };
        return std::make_unique<Form1>(s);
    }
    void showActive()
    {
        form_->show();
        QApplication::setActiveWindow(form_.get());
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(programDir()));
        opened_.clear();
        openWorks_ = true;
        form_ = start();
        showActive();
    }
    void cleanup() { form_.reset(); }

    // What a screen reader says for each control.
    void accessibleNames_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::newRow("switch") << QStringLiteral("Image2") << QStringLiteral("Marche/arrêt");
        QTest::newRow("logo") << QStringLiteral("Image1")
                              << QStringLiteral("Pramelor, carte d'expérimentation PIC 16F877");
        QTest::newRow("start 3") << QStringLiteral("heure1_2") << QStringLiteral("Heure de début, sortie 3");
        QTest::newRow("end 8") << QStringLiteral("heure2_7") << QStringLiteral("Heure de fin, sortie 8");
    }
    void accessibleNames()
    {
        QFETCH(QString, control);
        QTEST(QAccessible::queryAccessibleInterface(find(control))->text(QAccessible::Name), "name");
    }

    // The switch is a button that can be focused and pressed.
    void switchIsAButton()
    {
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(find(QStringLiteral("Image2")));
        QCOMPARE(a->role(), QAccessible::Button);
        QVERIFY(a->state().focusable);
        QAccessibleActionInterface *press = a->actionInterface();
        QVERIFY(press);
        QVERIFY(press->actionNames().contains(QAccessibleActionInterface::pressAction()));
        press->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(form_->marche(), 1);
    }

    // Tab reaches the switch; Space turns it on, Enter turns it off.
    void switchByKeyboard_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Space") << int(Qt::Key_Space);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    }
    void switchByKeyboard()
    {
        QFETCH(int, key);
        QWidget *image2 = find(QStringLiteral("Image2"));
        find(QStringLiteral("heure1_0"))->setFocus();
        for (int i = 0; i < 300 && QApplication::focusWidget() != image2; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), image2);
        QTest::keyClick(image2, Qt::Key(key));
        QCOMPARE(form_->marche(), 1);
        QVERIFY(find(QStringLiteral("Shape2"))->isVisible());
        QTest::keyClick(image2, Qt::Key(key));  // returns after its one-second wait
        QCOMPARE(form_->marche(), 0);
        QTest::keyClick(image2, Qt::Key_A);  // other keys do nothing
        QCOMPARE(form_->marche(), 0);
    }

    void ctrlQQuits()
    {
        QTest::keyClick(form_.get(), Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(form_->shuttingDown());
        QTRY_VERIFY_WITH_TIMEOUT(form_->hasEnded(), 2000);
    }

    // The visible titles are those of the menu table; each has its Alt key.
    void menuTitles()
    {
        QStringList shown, keys;
        for (QAction *a : form_->menuBar()->actions()) {
            shown << QString(a->text()).remove(u'&');
            keys << QKeySequence::mnemonic(a->text()).toString();
        }
        QCOMPARE(shown,
                 (QStringList{QStringLiteral("Fichier"), QStringLiteral("Graphique"), QStringLiteral("Configuration"),
                              QStringLiteral("     "), QStringLiteral("à propos de ...")}));
        QCOMPARE(keys, (QStringList{QStringLiteral("Alt+F"), QStringLiteral("Alt+G"), QStringLiteral("Alt+C"),
                                    QString(), QStringLiteral("Alt+P")}));
        QCOMPARE(find<QAction>(QStringLiteral("n_quitter"))->text(), QStringLiteral("Quitter"));
        // Their Alt keys are underlined only while Alt is held.
        QCOMPARE(form_->menuBar()->style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, form_->menuBar()), 0);
        // Alt+F opens "Fichier".
        auto *fichier = find<QMenu>(QStringLiteral("n_fichier"));
        QTest::keyClick(form_.get(), Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(fichier->isVisible());
        QTest::keyClick(fichier, Qt::Key_Escape);
        QTRY_VERIFY(!fichier->isVisible());
    }

    // F1: the installed guide, else the source tree's; said when none.
    void f1OpensTheGuide_data()
    {
        QTest::addColumn<QString>("guide");  // where a README.md lies, beside "prefix"
        QTest::addColumn<bool>("opens");     // the desktop manages to open it
        QTest::addColumn<QString>("said");   // the status line's start, if anything
        QTest::newRow("installed") << "prefix/share/doc/pramelor/README.md" << true << QString();
        QTest::newRow("built in the source tree") << "prefix/README.md" << true << QString();
        QTest::newRow("none") << "" << true << "Guide de l'utilisateur introuvable";
        QTest::newRow("will not open") << "prefix/README.md" << false << "Impossible d'ouvrir le guide";
    }
    void f1OpensTheGuide()
    {
        QFETCH(QString, guide);
        QFETCH(QString, said);
        QFETCH(bool, opens);
        openWorks_ = opens;
        const QString path = dir_->filePath(guide);
        if (!guide.isEmpty()) QVERIFY(QDir().mkpath(QFileInfo(path).path()) && panel::put(path, "# Pramelor\n"));
        QTest::keyClick(form_.get(), Qt::Key_F1);
        QCOMPARE(opened_, guide.isEmpty() ? QList<QUrl>()
                                          : QList<QUrl>{QUrl::fromLocalFile(QFileInfo(path).canonicalFilePath())});
        QVERIFY2(form_->statusText().startsWith(said), qPrintable(form_->statusText()));
    }

    // The size and place the user left the window at come back next time,
    // from the user's settings file; a screen too small for them is not
    // given them.
    void windowPlaceKept()
    {
        form_ = start();
        desktop::showFitted(*form_);
        const QRect screen = form_->screen()->availableGeometry();
        const QRect chosen(screen.x() + 40, screen.y() + 30, 700, 480);
        form_->setGeometry(chosen);
        QTRY_COMPARE(form_->geometry(), chosen);
        form_->n_quitter_Click();
        QTRY_VERIFY_WITH_TIMEOUT(form_->hasEnded(), 2000);
        QVERIFY(QFile::exists(userDir() + QStringLiteral("/pramelor.conf")));

        form_ = start();
        desktop::showFitted(*form_);
        QTRY_COMPARE(form_->geometry(), chosen);

        auto small = start();
        QVERIFY(!small->restoreWindowPlace(QRect(0, 0, 600, 400)));
        QVERIFY(small->size() != chosen.size());
    }
};

QTEST_MAIN(TestAccess)
#include "test_access.moc"

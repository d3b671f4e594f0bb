#include "base/Language.h"
#include "controls/FormSet.h"
#include "model/LanguageChoice.h"
#include "model/PrivateProfile.h"
#include "model/ZR815KDoc.h"
#include "shell/MainFrame.h"
#include "support/TempDir.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTabBar>
#include <QToolBar>
#include <QTranslator>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The program's translation of one language and Qt's, installed while the object lives.
class InstalledTranslation
{
public:
    explicit InstalledTranslation(const QString& language)
    {
        m_bLoaded = LoadProgramTranslation(m_own, language) && QApplication::installTranslator(&m_own);
        // Qt's English holds nothing: only a translation with texts installs.
        if (LoadQtTranslation(m_qt, language)) {
            QApplication::installTranslator(&m_qt);
        }
    }
    ~InstalledTranslation()
    {
        QApplication::removeTranslator(&m_qt);
        QApplication::removeTranslator(&m_own);
    }
    bool Loaded() const { return m_bLoaded; }

private:
    QTranslator m_own;
    QTranslator m_qt;
    bool m_bLoaded = false;
};

// Every text the window shows: widget texts, tool tips and accessible names,
// menu and tool-bar items with their prompts, table headings and tab texts.
QStringList VisibleTexts(CMainFrame& frame)
{
    QStringList texts;
    const auto addAction = [&texts](const QAction* a) {
        texts << a->text() << a->toolTip() << a->statusTip();
    };
    std::function<void(const QMenu*)> walk = [&](const QMenu* menu) {
        texts << menu->title();
        for (const QAction* a : menu->actions()) {
            a->menu() != nullptr ? walk(a->menu()) : addAction(a);
        }
    };
    for (const QAction* top : frame.menuBar()->actions()) {
        walk(top->menu());
    }
    for (const QToolBar* bar : frame.findChildren<QToolBar*>()) {
        texts << bar->windowTitle() << bar->accessibleName();
        for (const QAction* a : bar->actions()) {
            addAction(a);
        }
    }
    for (const QWidget* w : frame.findChildren<QWidget*>()) {
        texts << w->toolTip() << w->accessibleName() << w->accessibleDescription();
        if (const auto* label = qobject_cast<const QLabel*>(w)) {
            texts << label->text();
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
            texts << button->text();
        } else if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
            texts << edit->text();
        } else if (const auto* tabs = qobject_cast<const QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i) {
                texts << tabs->tabText(i);
            }
        } else if (const auto* view = qobject_cast<const QAbstractItemView*>(w); view && view->model()) {
            for (int c = 0; c < view->model()->columnCount(); ++c) {
                texts << view->model()->headerData(c, Qt::Horizontal).toString();
            }
        }
    }
    texts.removeAll(QString());
    texts.removeDuplicates();
    return texts;
}

class Translation : public ::testing::Test
{
protected:
    std::unique_ptr<CMainFrame> Build()
    {
        doc = std::make_unique<CZR815KDoc>(dir / "param.ini");
        auto frame = std::make_unique<CMainFrame>(*doc);
        frame->resize(1280, 900);
        frame->InitialUpdate();
        // Headings that follow the presentation are set again on its switch.
        for (const bool half : {true, false}) {
            doc->m_bShowHalfVelocity = half;
            doc->UpdateAllViews(nullptr, HINT_VELOCITY);
        }
        return frame;
    }
    TempDir dir;
    std::unique_ptr<CZR815KDoc> doc;
};

// Under the Russian translation no English word is left on the window but the
// names that stay as they are in Russian: channels and cursors (M1, C1), V/2,
// RL, file types, the program's name and the language menu's "English".
// Under the English one no Cyrillic is left but "Русский". A text that was
// never put through the translation, or has no translation, shows up here.
TEST_F(Translation, WindowShowsNoSourceTextOfTheOtherLanguage)
{
    const QRegularExpression englishWord("[A-Za-z]{2,}");
    const QRegularExpression kept("\\b(RL|PNG|png|tdr|tku|pie|Ondalis|English|www|ondalis|example)\\b");
    {
        InstalledTranslation russian("ru");
        ASSERT_TRUE(russian.Loaded());
        auto frame = Build();
        QStringList english;
        for (const QString& text : VisibleTexts(*frame)) {
            if (QString(text).remove(kept).contains(englishWord)) {
                english << text;
            }
        }
        EXPECT_TRUE(english.isEmpty()) << english.join(" | ").toStdString();
        // Numbers keep their '.'; the unit is the translation's.
        EXPECT_EQ(frame->GetFormSet()->findChild<QLineEdit*>()->text().contains(QRegularExpression("^\\d+\\.\\d{3} м$")),
                  true)
            << frame->GetFormSet()->findChild<QLineEdit*>()->text().toStdString();
        frame.reset();
    }
    {
        InstalledTranslation english("en");
        ASSERT_TRUE(english.Loaded());
        auto frame = Build();
        QStringList russian;
        for (const QString& text : VisibleTexts(*frame)) {
            if (text != QString::fromUtf8("Русский") && text.contains(QRegularExpression("[\\x{0400}-\\x{04FF}]"))) {
                russian << text;
            }
        }
        EXPECT_TRUE(russian.isEmpty()) << russian.join(" | ").toStdString();
    }
}

// Settings > Language: the choice is written at exit under its own key and
// read back at the next start; choosing what is in force writes nothing.
TEST_F(Translation, LanguageChoiceIsKeptInTheSettings)
{
    auto frame = Build();
    QStringList notices;
    frame->SetNoticeBox([&notices](const QString& text) { notices << text; });
    QMenu* language = nullptr;
    for (QAction* top : frame->menuBar()->actions()) {
        for (QAction* a : top->menu()->actions()) {
            if (a->menu() != nullptr && a->text() == "Language") {
                language = a->menu();
            }
        }
    }
    ASSERT_NE(language, nullptr);
    ASSERT_EQ(language->actions().size(), 3);
    EXPECT_TRUE(language->actions()[0]->isChecked()); // the desktop's choice
    language->actions()[0]->trigger();
    EXPECT_TRUE(notices.isEmpty());
    language->actions()[2]->trigger();
    EXPECT_EQ(notices, QStringList{"The language changes at the next start of the program."});
    frame.reset();
    doc.reset();
    EXPECT_EQ(PrivateProfile(dir / "param.ini").GetString(kSettingsSection, kLanguageKey, "?"), "ru");

    frame = Build();
    EXPECT_EQ(frame->LanguageChoice(), "ru");
}

} // namespace

#include "ui/share/share_menu.h"

#include "ui/share/copy_actions.h"
#include "ui/share/share_attachments.h"
#include "ui/share/share_button.h"

#include "share_fixture.h"
#include "support/scoped_env.h"
#include "ui/support/ui_setup.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/time.h>

namespace nelvo {
namespace {

using test::contents;
using test::entries;
using test::ShareFixture;
using test::waitUntil;

// A PATH holding only the fake programs a test writes, and a private runtime folder; both
// restored afterwards.
struct FakeDesktop {
    QTemporaryDir bin;
    QTemporaryDir runtime;
    test::ScopedEnv searchPath{"PATH", bin.path().toStdString()};
    test::ScopedEnv runtimePath{"XDG_RUNTIME_DIR", runtime.path().toStdString()};

    // A program that writes its arguments to <name>.args, each followed by a line "--end--".
    // The file appears whole (written aside, then renamed), so a reader never sees a part.
    void program(const QString& name, const QString& extra = {})
    {
        QFile script(bin.filePath(name));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\n%1\nfor a in \"$@\"; do printf '%s\\n--end--\\n' "
                                    "\"$a\"; done > '%2.part' && /bin/mv '%2.part' '%2'\n")
                         .arg(extra, bin.filePath(name + ".args"))
                         .toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // The arguments the program was called with, once it has written them all.
    QStringList arguments(const QString& name)
    {
        const QString path = bin.filePath(name + ".args");
        QStringList lines;
        test::waitUntil([&] {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                lines = QString::fromUtf8(file.readAll()).split("\n--end--\n", Qt::SkipEmptyParts);
            return !lines.isEmpty();
        });
        return lines;
    }

    // An xdg-mime that names `handler` as the program for mailto: links (none when empty).
    void mailHandler(const QString& handler)
    {
        program("xdg-mime", handler.isEmpty() ? QString() : "echo '" + handler + "'");
    }
};

QAction* entry(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

TEST(ShareMenu, OnlyCopyWhenNothingElseIsThere)
{
    FakeDesktop desktop;
    ShareFixture f;
    auto& model = f.make();
    CopyActions copy(model, [] { return 1.0; });
    QMenu menu;
    ShareMenu share(model, &menu, copy, [] { return 1.0; });
    EXPECT_EQ(entries(&menu), QStringList{"Copy"});

    // Copy: the chat text and the picture, for any other program.
    entry(&menu, "Copy")->trigger();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    EXPECT_EQ(data->formats(), (QStringList{"text/plain", "image/png"}));
    EXPECT_EQ(data->text().toStdString(), model.chatText());
    EXPECT_FALSE(QImage::fromData(data->data("image/png"), "png").isNull());
    EXPECT_EQ(f.sounds, std::vector<Sound>{Sound::copy});
}

TEST(ShareMenu, EmailGetsSubjectTextAndBothAttachments)
{
    FakeDesktop desktop;
    desktop.program("xdg-email");
    desktop.mailHandler("mail.desktop");
    ShareFixture f;
    auto& model = f.make(2, {"Europe/London"});
    CopyActions copy(model, [] { return 1.0; });
    ShareButton button(model, copy);
    QMenu* menu = button.menu();
    ASSERT_TRUE(waitUntil([&] { return entries(menu) == QStringList{"E-mail…", "-", "Copy"}; }));

    entry(menu, "E-mail…")->trigger();
    const QStringList arguments = desktop.arguments("xdg-email");
    // Ended before the menu goes, so it goes with the menu instead of outliving it.
    EXPECT_TRUE(waitUntil([&] {
        const auto composers = button.findChildren<QProcess*>("composer");
        return std::all_of(composers.begin(), composers.end(),
                           [](QProcess* p) { return p->state() == QProcess::NotRunning; });
    }));
    ASSERT_EQ(arguments.size(), 9) << arguments.join('|').toStdString();
    const QString png = arguments[6];
    const QString html = arguments[8];
    EXPECT_EQ(arguments, (QStringList{"--utf8", "--subject", "My availability · Mar 3 – 4",
                                      "--body", QString::fromStdString(model.chatText()),
                                      "--attach", png, "--attach", html}));
    EXPECT_TRUE(png.endsWith("/My availability · Mar 3 – 4.png")) << png.toStdString();
    EXPECT_TRUE(html.endsWith("/My availability · Mar 3 – 4.html")) << html.toStdString();
    EXPECT_FALSE(QImage(png, "png").isNull());
    EXPECT_EQ(contents(html).toStdString(), model.emailHTML());
    // In a folder of the private runtime folder, readable by this user alone.
    EXPECT_TRUE(png.startsWith(desktop.runtime.path() + "/nelvo-share/"));
    EXPECT_EQ(QFileInfo(QFileInfo(png).absolutePath()).permissions() & 0x0077, 0);
    // Only times leave: no event title in either attachment.
    EXPECT_FALSE(contents(html).contains("Secret"));
}

TEST(ShareMenu, EmailOnlyWithAMailProgramAndAFailureIsSaid)
{
    FakeDesktop desktop;
    desktop.program("xdg-email", "echo 'xdg-email: no method available for opening' >&2; exit 3");
    desktop.mailHandler({});
    ShareFixture f;
    auto& model = f.make();
    CopyActions copy(model, [] { return 1.0; });
    QMenu menu;
    ShareMenu share(model, &menu, copy, [] { return 1.0; });
    ASSERT_FALSE(desktop.arguments("xdg-mime").isEmpty());
    ASSERT_TRUE(waitUntil([&] { return share.findChildren<QProcess*>().isEmpty(); }));
    EXPECT_EQ(entries(&menu), QStringList{"Copy"});

    // A mail program is installed: the menu finds it when it next opens.
    desktop.mailHandler("mail.desktop");
    menu.popup(QPoint());
    ASSERT_TRUE(waitUntil([&] { return entries(&menu).first() == "E-mail…"; }));
    menu.close();

    // xdg-email fails: an alert gives its reason.
    entry(&menu, "E-mail…")->trigger();
    QMessageBox* box = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        return box != nullptr;
    }));
    EXPECT_EQ(box->text(), "Couldn't write the e-mail");
    EXPECT_EQ(box->informativeText(), "xdg-email: no method available for opening");
    box->close();
    EXPECT_EQ(ShareMenu::composerFailure(3, ""), "No program to write e-mail was found.");
}

TEST(ShareMenu, DevicesGetThePicture)
{
    FakeDesktop desktop;
    // Blank lines and a line with no name are no devices; names are trimmed.
    const QString listing = "a1b2 Pixel 7\\n\\nc3d4  Living room TV \\nlonely\\n";
    desktop.program("kdeconnect-cli",
                    "if [ \"$1\" = --list-available ]; then printf '" + listing + "'; exit 0; fi");
    ShareFixture f;
    auto& model = f.make();
    CopyActions copy(model, [] { return 1.0; });
    QMenu menu;
    ShareMenu share(model, &menu, copy, [] { return 2.0; });
    QSignalSpy changed(&share, &ShareMenu::destinationsChanged);
    // The device list arrives after the menu was built.
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_EQ(entries(&menu), (QStringList{"Pixel 7", "Living room TV", "-", "Copy"}));

    entry(&menu, "Pixel 7")->trigger();
    const QStringList arguments = desktop.arguments("kdeconnect-cli");
    ASSERT_EQ(arguments.size(), 4) << arguments.join('|').toStdString();
    EXPECT_EQ(arguments.mid(0, 3), (QStringList{"--device", "a1b2", "--share"}));
    EXPECT_TRUE(arguments[3].endsWith("/My availability · Mar 3.png"));
    EXPECT_FALSE(QImage(arguments[3], "png").isNull());
}

TEST(ShareAttachments, PrivateFoldersRemovedOnlyWhenOld)
{
    QTemporaryDir root;
    ShareAttachments attachments(root.filePath("share"));
    const auto first = attachments.newFolder();
    ASSERT_TRUE(first);
    EXPECT_EQ(QFileInfo(root.filePath("share")).permissions() & 0x0077, 0);
    ASSERT_TRUE(ShareAttachments::write(*first, "a.png", "bytes"));
    // A name already there is not overwritten.
    EXPECT_FALSE(ShareAttachments::write(*first, "a.png", "other"));

    // A day-old folder goes at the next share; a fresh one stays.
    const QString old = root.filePath("share/old");
    ASSERT_TRUE(QDir().mkpath(old));
    const timeval dayAgo[2] = {{time(nullptr) - 2 * 86400, 0}, {time(nullptr) - 2 * 86400, 0}};
    ASSERT_EQ(utimes(old.toLocal8Bit().constData(), dayAgo), 0);
    const auto second = attachments.newFolder();
    ASSERT_TRUE(second);
    EXPECT_NE(*first, *second);
    EXPECT_FALSE(QFileInfo::exists(old));
    EXPECT_TRUE(QFileInfo::exists(*first + "/a.png"));

    // A folder others can read is not used.
    QFile::setPermissions(root.filePath("share"), QFile::ReadOwner | QFile::WriteOwner |
                                                      QFile::ExeOwner | QFile::ReadOther |
                                                      QFile::ExeOther);
    EXPECT_FALSE(attachments.newFolder());
}

}  // namespace
}  // namespace nelvo

#pragma once
// A studio window on Qt's off-screen platform for the tests: its questions are answered
// from a script, its settings go to Qt's test folder, and the mouse is driven at the
// centres of picture pixels.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <deque>
#include <fstream>
#include <memory>

#include "base/Random.h"
#include "studio/MaskCanvas.h"
#include "studio/PreviewPlayer.h"
#include "studio/StudioDialogs.h"
#include "studio/StudioWindow.h"
#include "studio/model/PictureDocument.h"
#include "tests/support/OffscreenApp.h"

namespace vec::studio::test {

// Answers the window's questions from queues, and keeps what it was told.
class ScriptedDialogs final : public StudioDialogs {
 public:
  struct Script {
    std::deque<QString> fileNames;
    std::deque<QMessageBox::StandardButton> answers;
    std::vector<QString> errors;
    int questions = 0;
  };
  explicit ScriptedDialogs(std::shared_ptr<Script> script) : script_(std::move(script)) {}

  QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override {
    return Next();
  }
  QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
    return Next();
  }
  QMessageBox::StandardButton AskToSave(QWidget*, const QString&) override {
    ++script_->questions;
    if (script_->answers.empty()) return QMessageBox::Cancel;
    const auto answer = script_->answers.front();
    script_->answers.pop_front();
    return answer;
  }
  void ShowError(QWidget*, const QString& text) override { script_->errors.push_back(text); }
  void ShowAbout(QWidget*, const QString&) override {}

 private:
  QString Next() {
    if (script_->fileNames.empty()) return {};
    const QString name = script_->fileNames.front();
    script_->fileNames.pop_front();
    return name;
  }
  std::shared_ptr<Script> script_;
};

class StudioWindowFixture : public testing::Test {
 protected:
  void SetUp() override {
    vec::test::OffscreenApp();
    QStandardPaths::setTestModeEnabled(true);
    // Every test starts from a studio that was never run: no layout, no recent files.
    QSettings().clear();
    window_ = std::make_unique<StudioWindow>();
    window_->SetDialogs(std::make_unique<ScriptedDialogs>(script_));
    window_->resize(1000, 700);
    window_->show();
    ASSERT_TRUE(folder_.isValid());
  }
  void TearDown() override {
    script_->answers.push_back(QMessageBox::Discard);
    window_.reset();
  }

  StudioWindow& Window() { return *window_; }
  PictureDocument& Document() { return *window_->Document(); }
  MaskCanvas& Canvas() { return *window_->Canvas(); }
  ScriptedDialogs::Script& Script() { return *script_; }

  // A file in the test's own folder.
  QString PathOf(const QString& name) const { return folder_.filePath(name); }
  QString WriteFile(const QString& name, const std::vector<uint8_t>& bytes) const {
    const QString path = PathOf(name);
    std::ofstream(path.toStdString(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  void Trigger(const char* action) {
    QAction* a = window_->findChild<QAction*>(action);
    ASSERT_NE(a, nullptr) << action;
    ASSERT_TRUE(a->isEnabled()) << action;
    a->trigger();
  }

  // Opens through File > Open, with the player paused so frames only move when stepped.
  void OpenThroughMenu(const QString& path) {
    Script().fileNames.push_back(path);
    Trigger("actionOpen");
    window_->Player()->Pause();
  }

  void SendMouse(QEvent::Type type, Point pixel, Qt::MouseButton button, Qt::MouseButtons held) {
    QWidget* view = Canvas().viewport();
    const QPointF at = Canvas().ViewportPointOf(pixel);
    QMouseEvent event(type, at, view->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(view, &event);
  }
  void Press(Point p) { SendMouse(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton); }
  void MoveHeld(Point p) { SendMouse(QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton); }
  void Release(Point p) { SendMouse(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton); }
  void Hover(Point p) { SendMouse(QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton); }
  void Click(Point p) {
    Press(p);
    Release(p);
  }

  QTemporaryDir folder_;
  std::shared_ptr<ScriptedDialogs::Script> script_ = std::make_shared<ScriptedDialogs::Script>();
  std::unique_ptr<StudioWindow> window_;
};

}  // namespace vec::studio::test

// The toolkit takes the run's runtime folder without a word: the session's own, or the
// private one made for a session without any (a root shell, a chroot).

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QStandardPaths>
#include <QString>
#include <string>
#include <vector>

#include "tests/platform/ThreeMonitorApp.h"

namespace vec {
namespace {

std::vector<std::string> g_messages;

void Record(QtMsgType, const QMessageLogContext&, const QString& text) {
  g_messages.push_back(text.toStdString());
}

// Catches a private folder the toolkit refuses (another mode than 0700, another owner: it
// then complains and falls back to a folder of its own in the temporary path).
TEST(ToolkitRuntimeFolder, IsTakenWithoutAComplaint) {
  test::ThreeMonitorApp();
  const char* expected = getenv("XDG_RUNTIME_DIR");
  ASSERT_NE(expected, nullptr);
  g_messages.clear();
  const QtMessageHandler previous = qInstallMessageHandler(Record);
  const QString location = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  qInstallMessageHandler(previous);
  EXPECT_EQ(location.toStdString(), expected);
  EXPECT_EQ(g_messages, std::vector<std::string>{});
}

}  // namespace
}  // namespace vec

#include "app/shell/window/CommandLine.h"

#include "app/shell/AppInfo.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <string_view>

namespace lumora::commandline {
namespace {

bool asksForInformation(int argc, char **argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument(argv[i]);
    if (argument == "--help" || argument == "-h" || argument == "--version" || argument == "-v") {
      return true;
    }
  }
  return false;
}

void print(const QString &text) {
  const QByteArray bytes = text.toLocal8Bit();
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
  std::fflush(stdout);
}

} // namespace

std::optional<int> answerInformationRequest(int argc, char **argv) {
  if (!asksForInformation(argc, argv)) {
    return std::nullopt;
  }
  // A core application only: no display is opened to answer.
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QString::fromLatin1(AppInfo::kName));
  QCoreApplication::setApplicationVersion(AppInfo::shortVersion());
  QCommandLineParser parser;
  // Qt's single-dash options ("-reverse") are words, not runs of one-letter options.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(
      QStringLiteral("Pindle finds groups of similar photos in a folder and keeps the best one."));
  // Not Qt's help option: its "--help-all" lists Qt's own options, which the window's users
  // do not need.
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Displays this help."));
  parser.addOption(help);
  const QCommandLineOption version = parser.addVersionOption();
  parser.addOptions({
      {QStringLiteral("selftest-ui"), QStringLiteral("Run the interaction self-test on <folder>."),
       QStringLiteral("folder")},
      {QStringLiteral("selftest-motion"), QStringLiteral("Run the motion self-test on <folder>."),
       QStringLiteral("folder")},
      {QStringLiteral("force-appearance"), QStringLiteral("Show the window light or dark."),
       QStringLiteral("light|dark")},
      {QStringLiteral("window-size"), QStringLiteral("Size the window to <W x H>."),
       QStringLiteral("size")},
  });
  // Qt's own options (-platform, -style, ...) are no error here.
  (void)parser.parse(QCoreApplication::arguments());
  if (parser.isSet(help)) {
    print(parser.helpText());
  } else if (parser.isSet(version)) {
    print(QStringLiteral("%1 %2 (%3)\n")
              .arg(QString::fromLatin1(AppInfo::kName), AppInfo::shortVersion(),
                   AppInfo::buildVersion()));
  } else {
    return std::nullopt; // "-v" or "-h" was the value of another option
  }
  return 0;
}

} // namespace lumora::commandline

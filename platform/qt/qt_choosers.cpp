// The standard choosers, the clipboard bitmap's size, starting processes and reaching the other
// running instances of the program.
#include <QClipboard>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QStandardPaths>
#include <QWidget>

#include <unistd.h>

#include "platform/qt/qt_platform.h"

namespace tesmo::platform {
namespace {

constexpr int kConnectTimeoutMs = 500;
constexpr char kCloseRequest[] = "close\n";

QString qs(const std::u16string& s) { return QString::fromStdU16String(s); }

using Filter = std::vector<std::pair<std::u16string, std::u16string>>;

// "BMP (*.bmp, *.ico)" + "*.bmp;*.ico" → "BMP (*.bmp, *.ico) (*.bmp *.ico)": Qt reads the patterns
// from the last parenthesised group.
QStringList filter_list(const Filter& filter) {
  QStringList parts;
  for (const auto& [text, patterns] : filter) {
    parts << qs(text) + QStringLiteral(" (") + qs(patterns).replace(u';', u' ') + QStringLiteral(")");
  }
  return parts;
}

QString filter_text(const OpenFileRequest& request) { return filter_list(request.filter).join(QStringLiteral(";;")); }

// A per-user folder for the instances' sockets, readable by its owner only.
QString instance_folder(const char* class_name) {
  QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (base.isEmpty()) base = QDir::tempPath();
  const QString folder =
      base + QStringLiteral("/") + QString::fromLatin1(class_name) + QStringLiteral("-") + QString::number(::getuid());
  QDir().mkpath(folder);
  QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  return folder;
}

}  // namespace

std::optional<std::u16string> QtPlatform::choose_open_file(const OpenFileRequest& request) {
  const QString path = QFileDialog::getOpenFileName(main_frame_, qs(request.title), qs(request.initial_folder),
                                                    filter_text(request));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdU16String();
}

std::optional<SaveFileChoice> QtPlatform::choose_save_file(const SaveFileRequest& request) {
  QFileDialog dialog(main_frame_, qs(request.title), qs(request.initial_folder));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);  // a new name in an existing folder
  const QStringList filters = filter_list(request.filter);
  dialog.setNameFilters(filters);
  if (request.filter_index >= 1 && request.filter_index <= filters.size()) {
    dialog.selectNameFilter(filters[request.filter_index - 1]);
  }
  dialog.setDefaultSuffix(qs(request.default_extension));
  if (!request.initial_name.empty()) dialog.selectFile(qs(request.initial_name));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
  return SaveFileChoice{files.front().toStdU16String(),
                        static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1};
}

std::optional<uint32_t> QtPlatform::choose_colour(uint32_t initial) {
  const QColor start(initial & 0xFF, (initial >> 8) & 0xFF, (initial >> 16) & 0xFF);
  const QColor c = QColorDialog::getColor(start, main_frame_);
  if (!c.isValid()) return std::nullopt;
  return static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8 |
         static_cast<uint32_t>(c.blue()) << 16;
}

std::optional<Size> QtPlatform::clipboard_bitmap_size() {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return std::nullopt;
  const QImage image = clipboard->image();
  if (image.isNull()) return std::nullopt;
  return Size{image.width(), image.height()};
}

bool QtPlatform::start_process(const std::u16string& program, const std::vector<std::u16string>& arguments) {
  QStringList args;
  for (const auto& a : arguments) args << qs(a);
  return QProcess::startDetached(qs(program), args);
}

void QtPlatform::listen_for_instances(const char* class_name) {
  const QString path = instance_folder(class_name) + QStringLiteral("/") + QString::number(::getpid());
  QLocalServer::removeServer(path);
  auto server = std::make_unique<QLocalServer>();
  server->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server->listen(path)) return;
  QLocalServer* raw = server.get();
  QObject::connect(raw, &QLocalServer::newConnection, raw, [this, raw] {
    while (QLocalSocket* socket = raw->nextPendingConnection()) {
      QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
        if (!socket->readAll().contains("close")) return;
        if (main_frame_) {
          main_frame_->raise();
          main_frame_->activateWindow();
        }
        queue_.push(Event{.kind = EventKind::Close, .files = {}});
      });
      QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
  });
  instance_server_ = std::move(server);
}

int QtPlatform::close_other_instances(const char* class_name) {
  const QString folder = instance_folder(class_name);
  const QString own = QString::number(::getpid());
  int reached = 0;
  for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
    if (entry.fileName() == own) continue;
    QLocalSocket socket;
    socket.connectToServer(entry.absoluteFilePath());
    if (!socket.waitForConnected(kConnectTimeoutMs)) {
      // Nobody listens there any more: the socket of an instance that ended without closing it.
      if (socket.error() == QLocalSocket::ConnectionRefusedError ||
          socket.error() == QLocalSocket::ServerNotFoundError) {
        QFile::remove(entry.absoluteFilePath());
      }
      continue;
    }
    socket.write(kCloseRequest);
    socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    ++reached;
  }
  return reached;
}

}  // namespace tesmo::platform

// The standard choosers, the clipboard, the shell (trash, documents, properties), starting
// processes and reaching the other running instances of the program.
#include <QClipboard>
#include <QColorDialog>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QWidget>
#include <unistd.h>

#include "base/text.h"
#include "base/trash.h"
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

// The system's filter texts already show their patterns ("BMP (*.bmp, *.ico, *.cur)"): the chooser
// then shows each text as it is and keeps the appended list for matching only.
QFileDialog::Options filter_options(const Filter& filter) {
  for (const auto& entry : filter) {
    if (entry.first.empty() || entry.first.back() != u')') return {};
  }
  return QFileDialog::HideNameFilterDetails;
}

// The chosen filter counted from 1: the dialog names it by its full text, or by the text alone
// when the details are hidden; 0 when it is neither.
int chosen_filter_index(const QStringList& full, const Filter& filter, const QString& selected) {
  for (int i = 0; i < full.size(); ++i) {
    if (full[i] == selected || qs(filter[static_cast<size_t>(i)].first) == selected) return i + 1;
  }
  return 0;
}

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
                                                    filter_text(request), nullptr, filter_options(request.filter));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdU16String();
}

std::optional<SaveFileChoice> QtPlatform::choose_save_file(const SaveFileRequest& request) {
  QFileDialog dialog(main_frame_, qs(request.title), qs(request.initial_folder));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);  // a new name in an existing folder
  dialog.setOptions(filter_options(request.filter));
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
                        chosen_filter_index(filters, request.filter, dialog.selectedNameFilter())};
}

std::optional<uint32_t> QtPlatform::choose_colour(uint32_t initial) {
  const QColor start(initial & 0xFF, (initial >> 8) & 0xFF, (initial >> 16) & 0xFF);
  const QColor c = QColorDialog::getColor(start, main_frame_);
  if (!c.isValid()) return std::nullopt;
  return static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8 |
         static_cast<uint32_t>(c.blue()) << 16;
}

std::optional<std::u16string> QtPlatform::choose_folder(const FolderRequest& request) {
  const QString path = QFileDialog::getExistingDirectory(main_frame_, qs(request.title), qs(request.initial_folder),
                                                         QFileDialog::ShowDirsOnly);
  if (path.isEmpty()) return std::nullopt;
  QString folder = QDir::toNativeSeparators(path);
  while (folder.size() > 1 && folder.endsWith(u'/')) folder.chop(1);
  return folder.toStdU16String();
}

std::optional<ClipboardBitmap> QtPlatform::read_clipboard_bitmap() {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return std::nullopt;
  const QImage image = clipboard->image();
  if (image.isNull()) return std::nullopt;
  const bool alpha = image.hasAlphaChannel();
  const QImage pixels = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  ClipboardBitmap b{.width = pixels.width(), .height = pixels.height(), .bits = alpha ? 32 : 24, .rows = {}};
  const size_t stride = (static_cast<size_t>(b.width) * (b.bits / 8) + 3) & ~size_t{3};
  b.rows.assign(stride * static_cast<size_t>(b.height), 0);
  for (int y = 0; y < b.height; ++y) {
    const auto* in = reinterpret_cast<const uint32_t*>(pixels.constScanLine(y));
    uint8_t* out = b.rows.data() + stride * static_cast<size_t>(y);
    for (int x = 0; x < b.width; ++x) {
      const uint32_t p = in[x];
      for (int k = 0; k < b.bits / 8; ++k) *out++ = static_cast<uint8_t>(p >> (8 * k));
    }
  }
  return b;
}

bool QtPlatform::set_clipboard_bitmap(const uint32_t* pixels, int width, int height) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard || !pixels || width <= 0 || height <= 0) return false;
  const QImage picture(reinterpret_cast<const uchar*>(pixels), width, height, width * 4, QImage::Format_RGB32);
  clipboard->setImage(picture.copy());
  return true;
}

bool QtPlatform::set_clipboard_text(std::string_view text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return false;
  clipboard->setText(QString::fromStdU16String(cp932_to_utf16(text)));
  return true;
}

bool QtPlatform::move_to_trash(const std::u16string& path) { return move_to_trash_folder(path, user_trash_folder()); }

bool QtPlatform::open_document(const std::u16string& path_or_address) {
  const QString target = qs(path_or_address);
  const QUrl url = QFileInfo::exists(target) ? QUrl::fromLocalFile(target) : QUrl(target);
  return QDesktopServices::openUrl(url);
}

bool QtPlatform::show_file_properties(const std::u16string& path) {
  const QFileInfo info(qs(path));
  if (!info.exists()) return false;
  const QString format = QStringLiteral("yyyy/MM/dd HH:mm:ss");
  const QString text = QStringLiteral("%1\n\n%2\n%3 bytes\n%4\n%5")
                           .arg(info.fileName(), info.absolutePath(), QString::number(info.size()),
                                info.lastModified().toString(format), info.isWritable() ? QString() : QStringLiteral("read-only"));
  auto* box = new QMessageBox(QMessageBox::NoIcon, info.fileName(), text.trimmed(), QMessageBox::Close, main_frame_);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->show();
  return true;
}

std::optional<Size> QtPlatform::clipboard_bitmap_size() {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return std::nullopt;
  const QImage image = clipboard->image();
  if (image.isNull()) return std::nullopt;
  return Size{image.width(), image.height()};
}

bool QtPlatform::start_process(const std::u16string& program, const std::vector<std::u16string>& arguments,
                               const std::u16string& working_folder) {
  QStringList args;
  for (const auto& a : arguments) args << qs(a);
  return QProcess::startDetached(qs(program), args, qs(working_folder));
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

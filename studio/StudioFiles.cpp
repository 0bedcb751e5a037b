#include "studio/StudioFiles.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QSaveFile>
#include <cstring>

#include "graphics/ImageFile.h"
#include "picture/PictureFileReader.h"

namespace vec::studio {

bool IsPictureFile(const std::vector<uint8_t>& bytes) {
  return bytes.size() >= kPictureMagicLength &&
         std::memcmp(bytes.data(), kPictureMagic, kPictureMagicLength) == 0;
}

ErrorOr<BlendBitmap> DecodePhoto(const std::vector<uint8_t>& bytes, const QString& name) {
  // Our own decoders read what the show reads, with their size limit.
  if (SniffImageFormat(bytes.data(), bytes.size()) != ImageFormat::Unknown)
    return LoadImageFromMemory(bytes.data(), bytes.size());
  QByteArray data(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  QImageReader reader(&buffer);
  reader.setAllocationLimit(static_cast<int>((kMaxImagePixels * 4) >> 20) + 1);
  const QSize size = reader.size();
  if (!reader.canRead())
    return Error::Make(ErrorCode::UnknownFormat,
                       QObject::tr("%1 is not a picture vecstudio can read (JPEG, PNG, BMP or GIF)")
                           .arg(name)
                           .toStdString());
  if (size.isValid() && !ImageSizeAllowed(size.width(), size.height()))
    return ImageTooLarge(QFileInfo(name).fileName().toStdString(), size.width(), size.height());
  QImage image = reader.read();
  if (image.isNull())
    return Error::Make(ErrorCode::Corrupt, (name + ": " + reader.errorString()).toStdString());
  if (!ImageSizeAllowed(image.width(), image.height()))
    return ImageTooLarge(QFileInfo(name).fileName().toStdString(), image.width(), image.height());
  image = image.convertToFormat(QImage::Format_ARGB32);
  BlendBitmap out(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y)
    std::memcpy(out.ScanLine(y), image.constScanLine(y), static_cast<size_t>(image.width()) * 4);
  return out;
}

ErrorOr<std::vector<uint8_t>> ReadFileBytes(const QString& path) {
  return ReadWholeFile(QFile::encodeName(path).toStdString());
}

Status WriteFileBytes(const QString& path, const std::vector<uint8_t>& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) !=
          static_cast<qint64>(bytes.size()) ||
      !file.commit())
    return Error::Make(
        ErrorCode::WriteFailed,
        QObject::tr("Cannot write %1: %2").arg(path, file.errorString()).toStdString());
  return {};
}

Status WriteImageFile(const QString& path, const BlendBitmap& picture) {
  const QImage image(reinterpret_cast<const uchar*>(picture.Bits()), picture.Width(),
                     picture.Height(), static_cast<qsizetype>(picture.Width()) * 4,
                     QImage::Format_ARGB32);
  const QByteArray format = path.endsWith(".bmp", Qt::CaseInsensitive) ? "BMP" : "PNG";
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || !image.save(&file, format.constData()) || !file.commit())
    return Error::Make(
        ErrorCode::WriteFailed,
        QObject::tr("Cannot write %1: %2").arg(path, file.errorString()).toStdString());
  return {};
}

}  // namespace vec::studio

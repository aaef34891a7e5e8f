#include "ui/JpegImage.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

namespace {

// libjpeg's default error handler prints the message and calls exit(). Ours jumps back to
// DecodeJpeg instead, and keeps warnings quiet: they are counted in num_warnings.
struct TJpegErrors {
    jpeg_error_mgr Manager;
    std::jmp_buf Return;
};

[[noreturn]] void JumpBackOnError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<TJpegErrors*>(info->err)->Return, 1);
}

void CountMessage(j_common_ptr info, int level)
{
    if (level < 0)
        ++info->err->num_warnings;  // a warning: corrupt data or a missing end of file
}

void SilenceOutput(j_common_ptr) {}

// The decoding steps that may jump back to DecodeJpeg. Nothing here owns memory or has a
// destructor: a jump out of this function skips no clean-up. `image` is written only once
// the header has been read; false when the picture cannot be shown.
bool ReadPicture(jpeg_decompress_struct& info, QImage& image)
{
    jpeg_read_header(&info, TRUE);
    const bool gray = info.jpeg_color_space == JCS_GRAYSCALE;
    if (!gray && info.jpeg_color_space != JCS_YCbCr && info.jpeg_color_space != JCS_RGB)
        return false;  // CMYK and YCCK pictures are not used by this program
    info.out_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&info);

    image = QImage(int(info.output_width), int(info.output_height),
                   gray ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    if (image.isNull())
        return false;  // too large to hold
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    // A truncated file decodes to the end with grey filler and a warning; show nothing instead.
    return info.err->num_warnings == 0;
}

} // namespace

QImage DecodeJpeg(const QByteArray& data)
{
    if (data.isEmpty())
        return QImage();

    jpeg_decompress_struct info;
    TJpegErrors errors;
    info.err = jpeg_std_error(&errors.Manager);
    errors.Manager.error_exit = JumpBackOnError;
    errors.Manager.emit_message = CountMessage;
    errors.Manager.output_message = SilenceOutput;

    // Only `image` lives across the jump; it is not a register variable (ReadPicture takes
    // its address), so it holds whatever ReadPicture last stored in it.
    QImage image;
    if (setjmp(errors.Return) != 0) {
        jpeg_destroy_decompress(&info);
        return QImage();
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    const bool ok = ReadPicture(info, image);
    jpeg_destroy_decompress(&info);
    if (!ok)
        return QImage();
    return image.format() == QImage::Format_RGB888 ? image : image.convertToFormat(QImage::Format_RGB888);
}

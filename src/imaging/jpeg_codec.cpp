#include "imaging/jpeg_codec.h"

#include "base/errors.h"
#include "imaging/decode_limits.h"
#include "imaging/jpeg_decode_cost.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>

// libjpeg reports errors through a callback that must not return, so they leave
// by longjmp. The functions that call setjmp (readHeader, startDecompress,
// readPixels, readAllRows, settleCheckOutput, writeScanlines) hold only plain data: no object with
// a destructor lives across the jump. Everything with a destructor belongs to their callers.

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    char firstWarning[JMSG_LENGTH_MAX]; // the first corrupt-data warning, if any
};

[[noreturn]] void jumpOut(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

void onError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    jumpOut(cinfo);
}

// Warnings and trace output: the picture goes on, whatever is wrong with it.
// Warnings (level -1) are counted and the first is kept for the data check.
void onMessage(j_common_ptr cinfo, int level) {
    if (level >= 0)
        return;
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (err->pub.num_warnings == 0)
        (*cinfo->err->format_message)(cinfo, err->firstWarning);
    ++err->pub.num_warnings;
}

// Counts the work of each scan as it starts; libjpeg calls the monitor before
// every row it reads, so a file stops at the first scan beyond its budget.
struct WorkMonitor {
    jpeg_progress_mgr pub;
    std::uint64_t work;
    std::uint64_t budget;
    int countedScan;
};

[[noreturn]] void refuseScans(j_decompress_ptr cinfo, const char* why) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::snprintf(err->message, sizeof err->message, "%s", why);
    jumpOut(reinterpret_cast<j_common_ptr>(cinfo));
}

void onProgress(j_common_ptr common) {
    if (!common->is_decompressor)
        return;
    auto* cinfo = reinterpret_cast<j_decompress_ptr>(common);
    auto* monitor = reinterpret_cast<WorkMonitor*>(cinfo->progress);
    if (cinfo->input_scan_number == monitor->countedScan)
        return;
    monitor->countedScan = cinfo->input_scan_number;
    if (monitor->countedScan > kMaxJpegScans)
        refuseScans(cinfo, "too many scans in a JPEG file");
    monitor->work += JpegScanWork(*cinfo);
    if (monitor->work > monitor->budget)
        refuseScans(cinfo, "JPEG scans ask for far more work than the file's size can hold");
}

void installErrorManager(ErrorManager& err) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.emit_message = onMessage;
    err.message[0] = '\0';
    err.firstWarning[0] = '\0';
}

enum class RowForm { Bgr, Grey, Cmyk, InvertedCmyk };

struct Decoder {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    WorkMonitor monitor;
    RowForm form;
};

struct PixelTarget {
    std::uint8_t* base;
    std::size_t stride;
    std::uint8_t* rowBuffer; // one decoded row for forms that need converting
};

// Reads the header and settles the output: colour space, speed, scaling.
bool readHeader(Decoder* d, const unsigned char* data, unsigned long size,
                const JpegDecodeOptions* options) {
    if (setjmp(d->err.jump))
        return false;
    jpeg_create_decompress(&d->cinfo);
    jpeg_mem_src(&d->cinfo, data, size);
    jpeg_read_header(&d->cinfo, TRUE);
    switch (d->cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        d->cinfo.out_color_space = JCS_GRAYSCALE;
        d->form = RowForm::Grey;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        d->cinfo.out_color_space = JCS_CMYK;
        // Adobe's programs store CMYK inverted (0 is full ink) and mark the file.
        d->form = d->cinfo.saw_Adobe_marker ? RowForm::InvertedCmyk : RowForm::Cmyk;
        break;
    default:
        d->cinfo.out_color_space = JCS_EXT_BGR;
        d->form = RowForm::Bgr;
        break;
    }
    d->cinfo.dct_method = options->fast ? JDCT_IFAST : JDCT_ISLOW;
    d->cinfo.do_fancy_upsampling = options->fast ? FALSE : TRUE;
    d->cinfo.scale_num = 1;
    d->cinfo.scale_denom = 1;
    if (options->fast && (options->minWidth > 0 || options->minHeight > 0)) {
        for (unsigned num = 1; num <= 8; ++num) {
            d->cinfo.scale_num = num;
            d->cinfo.scale_denom = 8;
            jpeg_calc_output_dimensions(&d->cinfo);
            if (d->cinfo.output_width >= static_cast<JDIMENSION>(options->minWidth) &&
                d->cinfo.output_height >= static_cast<JDIMENSION>(options->minHeight))
                break;
        }
    }
    jpeg_calc_output_dimensions(&d->cinfo);
    return true;
}

std::uint8_t inkToLight(unsigned ink, unsigned black) {
    return static_cast<std::uint8_t>(((255 - ink) * (255 - black) + 127) / 255);
}

void convertRow(RowForm form, const std::uint8_t* in, std::uint8_t* out, JDIMENSION width) {
    for (JDIMENSION x = 0; x < width; ++x, out += 3) {
        if (form == RowForm::Grey) {
            out[0] = out[1] = out[2] = in[x];
            continue;
        }
        const std::uint8_t* p = in + static_cast<std::size_t>(x) * 4;
        const bool inverted = form == RowForm::InvertedCmyk;
        const unsigned c = inverted ? 255 - p[0] : p[0], m = inverted ? 255 - p[1] : p[1];
        const unsigned y = inverted ? 255 - p[2] : p[2], k = inverted ? 255 - p[3] : p[3];
        out[0] = inkToLight(y, k);
        out[1] = inkToLight(m, k);
        out[2] = inkToLight(c, k);
    }
}

// Multi-scan files read all their scans here, before the picture exists, so
// that endless scans are refused without it.
bool startDecompress(Decoder* d) {
    if (setjmp(d->err.jump))
        return false;
    d->monitor.pub.progress_monitor = onProgress;
    d->cinfo.progress = &d->monitor.pub;
    jpeg_start_decompress(&d->cinfo);
    return true;
}

bool readPixels(Decoder* d, const PixelTarget* target) {
    if (setjmp(d->err.jump))
        return false;
    while (d->cinfo.output_scanline < d->cinfo.output_height) {
        std::uint8_t* row = target->base + target->stride * d->cinfo.output_scanline;
        JSAMPROW into = d->form == RowForm::Bgr ? row : target->rowBuffer;
        jpeg_read_scanlines(&d->cinfo, &into, 1);
        if (d->form != RowForm::Bgr)
            convertRow(d->form, target->rowBuffer, row, d->cinfo.output_width);
    }
    jpeg_finish_decompress(&d->cinfo);
    return true;
}

// Decodes every row into one small buffer and drops it: the check only needs
// libjpeg to walk all of the entropy-coded data.
bool readAllRows(Decoder* d, std::uint8_t* rows, std::size_t rowBytes) {
    if (setjmp(d->err.jump))
        return false;
    constexpr int kRowsPerCall = 16;
    JSAMPROW pointers[kRowsPerCall];
    for (int i = 0; i < kRowsPerCall; ++i)
        pointers[i] = rows + rowBytes * static_cast<std::size_t>(i);
    while (d->cinfo.output_scanline < d->cinfo.output_height)
        jpeg_read_scanlines(&d->cinfo, pointers, kRowsPerCall);
    jpeg_finish_decompress(&d->cinfo);
    return true;
}

// Grey output of a colour file skips the colour work; every component's
// coefficients are still decoded.
bool settleCheckOutput(Decoder* d) {
    if (setjmp(d->err.jump))
        return false;
    if (d->cinfo.jpeg_color_space == JCS_YCbCr) {
        d->cinfo.out_color_space = JCS_GRAYSCALE;
        d->form = RowForm::Grey;
    }
    d->cinfo.do_block_smoothing = FALSE;
    jpeg_calc_output_dimensions(&d->cinfo);
    return true;
}

class DecoderGuard {
public:
    DecoderGuard() {
        std::memset(&m_d, 0, sizeof m_d);
        installErrorManager(m_d.err);
        m_d.cinfo.err = &m_d.err.pub;
    }
    // Also safe when creating failed: destroying a zeroed struct does nothing.
    ~DecoderGuard() { jpeg_destroy_decompress(&m_d.cinfo); }
    DecoderGuard(const DecoderGuard&) = delete;
    DecoderGuard& operator=(const DecoderGuard&) = delete;
    Decoder* get() { return &m_d; }
    [[noreturn]] void fail(const char* what) const {
        throw KelvastoError(std::string(what) + ": " + m_d.err.message, Failure::DamagedJpeg);
    }
    std::string message() const { return m_d.err.message; }
    std::string firstWarning() const { return m_d.err.firstWarning; }
    long warnings() const { return m_d.err.pub.num_warnings; }

private:
    Decoder m_d;
};

struct Encoder {
    jpeg_compress_struct cinfo;
    ErrorManager err;
};

struct EncodeInput {
    const Picture* picture;
    int quality;
    std::FILE* out;
};

bool writeScanlines(Encoder* e, const EncodeInput* in) {
    if (setjmp(e->err.jump))
        return false;
    jpeg_create_compress(&e->cinfo);
    jpeg_stdio_dest(&e->cinfo, in->out);
    e->cinfo.image_width = static_cast<JDIMENSION>(in->picture->width());
    e->cinfo.image_height = static_cast<JDIMENSION>(in->picture->height());
    e->cinfo.input_components = 3;
    e->cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&e->cinfo);
    jpeg_set_quality(&e->cinfo, in->quality, TRUE);
    jpeg_start_compress(&e->cinfo, TRUE);
    while (e->cinfo.next_scanline < e->cinfo.image_height) {
        // libjpeg only reads the row, but its interface is not const.
        JSAMPROW row = const_cast<std::uint8_t*>(in->picture->row(e->cinfo.next_scanline));
        jpeg_write_scanlines(&e->cinfo, &row, 1);
    }
    jpeg_finish_compress(&e->cinfo);
    return true;
}

class EncoderGuard {
public:
    EncoderGuard() {
        std::memset(&m_e, 0, sizeof m_e);
        installErrorManager(m_e.err);
        m_e.cinfo.err = &m_e.err.pub;
    }
    ~EncoderGuard() { jpeg_destroy_compress(&m_e.cinfo); }
    EncoderGuard(const EncoderGuard&) = delete;
    EncoderGuard& operator=(const EncoderGuard&) = delete;
    Encoder* get() { return &m_e; }
    const char* message() const { return m_e.err.message; }

private:
    Encoder m_e;
};

} // namespace

namespace {

// Arms the work monitor. False when the header alone asks for more work than
// the file's bytes can justify: a few bytes declaring a giant picture.
bool armWorkBudget(Decoder* d, std::uint64_t inputBytes, const JpegDecodeCost& cost) {
    const std::uint64_t budget = JpegWorkBudget(inputBytes, d->cinfo.arith_code);
    d->monitor.work = cost.outputWork;
    d->monitor.budget = budget;
    d->monitor.countedScan = 0;
    return cost.minimumWork <= budget;
}

// A second line of defence: libjpeg refuses a buffer beyond what is left.
// Zero would mean no limit, so at least a little stays.
void limitLibjpegMemory(Decoder* d, std::uint64_t limit, std::uint64_t held) {
    constexpr std::uint64_t kLeastForLibjpeg = std::uint64_t{1} << 20;
    const std::uint64_t rest = limit > held ? limit - held : 0;
    d->cinfo.mem->max_memory_to_use = static_cast<long>(std::max(rest, kLeastForLibjpeg));
}

std::string workRefusal(std::uint64_t inputBytes) {
    return "JPEG header declares a picture far larger than its " + std::to_string(inputBytes) +
           " bytes can hold";
}

// Refuses, before anything of the picture's size exists, a file whose decoding
// would take more memory than the machine can spare or more work than its
// bytes can justify; then tells libjpeg what it may allocate on its own.
void checkCost(Decoder* d, std::uint64_t inputBytes, const JpegDecodeOptions& options) {
    // The declared size counts even when scaling down: multi-scan files keep
    // all their coefficients while they decode.
    CheckPictureSize(d->cinfo.image_width, d->cinfo.image_height);
    CheckPictureSize(d->cinfo.output_width, d->cinfo.output_height);
    const JpegDecodeCost cost = JpegCostOf(d->cinfo);
    const std::uint64_t limit =
        options.memoryLimit != 0 ? options.memoryLimit : DecoderMemoryLimit();
    CheckDecodeMemory(cost.pictureBytes + cost.coefficientBytes, limit, "JPEG picture");
    if (!armWorkBudget(d, inputBytes, cost))
        throw KelvastoError(workRefusal(inputBytes), Failure::DamagedJpeg);
    limitLibjpegMemory(d, limit, cost.pictureBytes);
}

} // namespace

JpegSize ReadJpegSize(const QByteArray& data) {
    DecoderGuard decoder;
    Decoder* d = decoder.get();
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    const JpegDecodeOptions options;
    if (!readHeader(d, bytes, static_cast<unsigned long>(data.size()), &options))
        decoder.fail("cannot read JPEG header");
    return {static_cast<int>(d->cinfo.image_width), static_cast<int>(d->cinfo.image_height),
            d->cinfo.progressive_mode == TRUE};
}

Picture DecodeJpeg(const QByteArray& data, const JpegDecodeOptions& options) {
    DecoderGuard decoder;
    Decoder* d = decoder.get();
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    if (!readHeader(d, bytes, static_cast<unsigned long>(data.size()), &options))
        decoder.fail("cannot read JPEG header");
    checkCost(d, static_cast<std::uint64_t>(data.size()), options);
    if (!startDecompress(d))
        decoder.fail("cannot decode JPEG data");
    Picture picture(static_cast<int>(d->cinfo.output_width),
                    static_cast<int>(d->cinfo.output_height));
    std::vector<std::uint8_t> rowBuffer;
    if (d->form != RowForm::Bgr)
        rowBuffer.resize(static_cast<std::size_t>(d->cinfo.output_width) * 4);
    const PixelTarget target{picture.row(0), picture.stride(), rowBuffer.data()};
    if (!readPixels(d, &target))
        decoder.fail("cannot decode JPEG data");
    return picture;
}

JpegDataCheck CheckJpegData(const QByteArray& data, std::uint64_t memoryLimit) {
    DecoderGuard decoder;
    Decoder* d = decoder.get();
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    JpegDecodeOptions options;
    options.fast = true; // with the smallest size below: 1/8 scale
    options.minWidth = 1;
    options.minHeight = 1;
    options.memoryLimit = memoryLimit;
    if (!readHeader(d, bytes, static_cast<unsigned long>(data.size()), &options))
        return {false, decoder.message()};
    if (!settleCheckOutput(d))
        return {false, decoder.message()};
    // The picture size and the memory are limits of this machine, not faults
    // of the file: they throw. Work beyond what the bytes can hold is damage.
    CheckPictureSize(d->cinfo.image_width, d->cinfo.image_height);
    const JpegDecodeCost cost = JpegCostOf(d->cinfo);
    const std::uint64_t limit = memoryLimit != 0 ? memoryLimit : DecoderMemoryLimit();
    CheckDecodeMemory(cost.pictureBytes + cost.coefficientBytes, limit, "JPEG picture");
    const auto inputBytes = static_cast<std::uint64_t>(data.size());
    if (!armWorkBudget(d, inputBytes, cost))
        return {false, workRefusal(inputBytes)};
    limitLibjpegMemory(d, limit, cost.pictureBytes);
    if (!startDecompress(d))
        return {false, decoder.message()};
    const std::size_t rowBytes =
        static_cast<std::size_t>(d->cinfo.output_width) * std::size_t(d->cinfo.output_components);
    std::vector<std::uint8_t> rows(rowBytes * 16);
    if (!readAllRows(d, rows.data(), rowBytes))
        return {false, decoder.message()};
    if (decoder.warnings() > 0)
        return {false, decoder.firstWarning()};
    return {true, {}};
}

void EncodeJpeg(const Picture& picture, int quality, std::FILE* out) {
    if (picture.isEmpty())
        throw KelvastoError("cannot write an empty picture as JPEG");
    EncoderGuard encoder;
    const EncodeInput input{&picture, quality, out};
    if (!writeScanlines(encoder.get(), &input))
        throw KelvastoError(std::string("cannot write JPEG: ") + encoder.message());
}

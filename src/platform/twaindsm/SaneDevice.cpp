#include "platform/twaindsm/SaneDevice.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QObject>
#include <QSettings>
#include <QString>
#include <QUrl>

#include "platform/twaindsm/DsmSettings.h"
#include "platform/twaindsm/SaneDialog.h"
#include "platform/twaindsm/SanePageBuilder.h"

namespace brevanto::twaindsm {

namespace {

constexpr std::size_t kReadBuffer = 256 * 1024;

bool sameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool containsText(const std::string& text, const std::string& part) {
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find(part) != std::string::npos;
}

// A sheet read whole, handed out in pieces; or one that ended before it could be.
class SaneSheetReader final : public PageReader {
  public:
    SaneSheetReader(ScanRaster page, int dpi, std::optional<ReadResult> failure)
        : page_(std::move(page)), failure_(failure) {
        geometry_.width = page_.width;
        geometry_.height = page_.height;
        geometry_.pixelType = page_.pixelType;
        geometry_.bitsPerPixel = page_.bitsPerPixel;
        geometry_.rowBytes = page_.rowBytes;
        geometry_.dpi = dpi;
    }

    const ImageGeometry& geometry() const override { return geometry_; }
    const std::vector<Rgb>& palette() const override { return page_.palette; }
    std::optional<ReadResult> failure() const override { return failure_; }

    ReadResult read(std::uint8_t* out, std::size_t capacity) override {
        if (failure_) return *failure_;
        const std::size_t count = std::min(capacity, page_.size() - position_);
        if (count > 0) std::memcpy(out, page_.bytes.data() + position_, count);
        position_ += count;
        return {count, position_ < page_.size() ? ReadOutcome::More : ReadOutcome::Done};
    }

  private:
    ScanRaster page_;
    std::optional<ReadResult> failure_;
    ImageGeometry geometry_;
    std::size_t position_ = 0;
};

const char* pixelTypeKey(TW_INT16 pixelType) {
    switch (pixelType) {
        case TWPT_BW:
            return "BW";
        case TWPT_GRAY:
            return "Gray";
        default:
            return "Color";
    }
}

QString groupOf(const std::string& device) {
    // Device names hold ':' and '/', which the ini format would take apart.
    return QString::fromLatin1(QUrl::toPercentEncoding(QString::fromStdString(device)));
}

}  // namespace

const std::vector<PageSize>& pageSizes() {
    static const std::vector<PageSize> sizes = {
        {"A4", "A4 (210 × 297 mm)", 210.0, 297.0},
        {"A5", "A5 (148 × 210 mm)", 148.0, 210.0},
        {"Letter", "Carta (216 × 279 mm)", 215.9, 279.4},
        {"Legal", "Ofício (216 × 356 mm)", 215.9, 355.6},
    };
    return sizes;
}

std::string saneChoicesPath() {
    const std::filesystem::path settings = dsmSettingsPath();
    return (settings.parent_path() / "sane-scanners.ini").string();
}

std::optional<SaneChoices> loadSaneChoices(const std::string& path, const std::string& device) {
    if (!std::filesystem::is_regular_file(path)) return std::nullopt;
    QSettings ini(QString::fromStdString(path), QSettings::IniFormat);
    ini.beginGroup(groupOf(device));
    if (ini.childKeys().isEmpty()) return std::nullopt;
    SaneChoices c;
    const QString mode = ini.value("Mode").toString();
    c.pixelType = mode == "BW" ? TWPT_BW : mode == "Gray" ? TWPT_GRAY : TWPT_RGB;
    bool ok = false;
    const int dpi = ini.value("Resolution").toInt(&ok);
    if (ok && dpi >= 25 && dpi <= 4800) c.dpi = dpi;
    c.feeder = ini.value("Source").toString() == "Feeder";
    const std::string size = ini.value("PageSize").toString().toStdString();
    for (const PageSize& known : pageSizes())
        if (size == known.key) c.pageSize = size;
    c.options = ini.value("Options").toString().toStdString();
    return c;
}

void saveSaneChoices(const std::string& path, const std::string& device, const SaneChoices& c) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    QSettings ini(QString::fromStdString(path), QSettings::IniFormat);
    ini.beginGroup(groupOf(device));
    ini.setValue("Mode", pixelTypeKey(c.pixelType));
    ini.setValue("Resolution", c.dpi);
    ini.setValue("Source", c.feeder ? "Feeder" : "Flatbed");
    ini.setValue("PageSize", QString::fromStdString(c.pageSize));
    if (!c.options.empty()) ini.setValue("Options", QString::fromStdString(c.options));
    ini.endGroup();
    ini.sync();
}

SaneDevice::SaneDevice(SaneLibrary::Device device, std::string productName, std::string choicesPath)
    : device_(std::move(device)),
      productName_(std::move(productName)),
      choicesPath_(std::move(choicesPath)),
      notifier_(std::make_unique<QObject>()) {
    resolutions_ = {150, 200, 300, 75, 100, 600};
    reset();
}

SaneDevice::~SaneDevice() { close(); }

std::vector<TW_INT16> SaneDevice::pixelTypes() const { return {TWPT_BW, TWPT_GRAY, TWPT_RGB}; }

void SaneDevice::reset() {
    if (const auto remembered = loadSaneChoices(choicesPath_, device_.name)) choices_ = *remembered;
    defaults_ = ScanParameters{};
    defaults_.pixelType = choices_.pixelType;
    defaults_.dpi = choices_.dpi;
    defaults_.sheets = 1;
    parameters_ = defaults_;
}

std::vector<Rgb> SaneDevice::palette() const {
    return paletteFor(parameters_.pixelType, parameters_.pixelFlavor);
}

ImageGeometry SaneDevice::pageGeometry() const {
    {
        std::lock_guard lock(mutex_);
        if (!sheets_.empty() && !sheets_.front().failure) {
            const ScanRaster& page = sheets_.front().page;
            return {page.width,        page.height,   page.pixelType,
                    page.bitsPerPixel, page.rowBytes, sheets_.front().dpi};
        }
    }
    // Before a sheet is read: what the chosen page size would give.
    PageSize size = pageSizes().front();
    for (const PageSize& known : pageSizes())
        if (choices_.pageSize == known.key) size = known;
    ImageGeometry g;
    g.width = std::max(1, static_cast<int>(std::lround(size.widthMm / 25.4 * parameters_.dpi)));
    g.height = std::max(1, static_cast<int>(std::lround(size.heightMm / 25.4 * parameters_.dpi)));
    g.pixelType = parameters_.pixelType;
    g.bitsPerPixel = bitsPerPixelOf(g.pixelType);
    g.rowBytes = rowBytesFor(g.width, g.bitsPerPixel);
    g.dpi = parameters_.dpi;
    return g;
}

TW_UINT16 SaneDevice::open() {
    close();
    const SANE_Status status = sane_open(device_.name.c_str(), &handle_);
    if (status != SANE_STATUS_GOOD) {
        handle_ = nullptr;
        const ReadResult refused = readResultFor(status);
        return refused.condition == TWCC_SUCCESS ? TWCC_OPERATIONERROR : refused.condition;
    }
    reset();
    findResolutions();
    findSources();
    return TWCC_SUCCESS;
}

void SaneDevice::close() {
    stopReading();
    if (handle_) sane_close(handle_);
    handle_ = nullptr;
}

std::unique_ptr<SourceDialog> SaneDevice::openDialog(bool modal, SourceDialog::Actions actions) {
    return std::make_unique<SaneDialog>(*this, modal, std::move(actions));
}

void SaneDevice::choose(const SaneChoices& choices) {
    choices_ = choices;
    parameters_.pixelType = choices.pixelType;
    parameters_.dpi = choices.dpi;
    saveSaneChoices(choicesPath_, device_.name, choices_);
}

// ---- SANE options -------------------------------------------------------------------------

SANE_Int SaneDevice::optionIndex(const char* name, const SANE_Option_Descriptor** found) const {
    *found = nullptr;
    if (!handle_) return -1;
    SANE_Int count = 0;
    const SANE_Option_Descriptor* first = sane_get_option_descriptor(handle_, 0);
    if (!first || first->type != SANE_TYPE_INT ||
        first->size < static_cast<SANE_Int>(sizeof count) ||
        sane_control_option(handle_, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD)
        return -1;
    for (SANE_Int i = 1; i < count; ++i) {
        const SANE_Option_Descriptor* option = sane_get_option_descriptor(handle_, i);
        if (option && option->name && std::strcmp(option->name, name) == 0) {
            *found = option;
            return i;
        }
    }
    return -1;
}

std::vector<std::string> SaneDevice::textChoices(const char* name) const {
    std::vector<std::string> values;
    const SANE_Option_Descriptor* option = nullptr;
    if (optionIndex(name, &option) < 0 || option->type != SANE_TYPE_STRING ||
        option->constraint_type != SANE_CONSTRAINT_STRING_LIST || !option->constraint.string_list)
        return values;
    for (const SANE_String_Const* at = option->constraint.string_list; *at; ++at)
        values.emplace_back(*at);
    return values;
}

std::vector<int> SaneDevice::depthChoices() const {
    std::vector<int> values;
    const SANE_Option_Descriptor* option = nullptr;
    if (optionIndex(SANE_NAME_BIT_DEPTH, &option) < 0 || option->type != SANE_TYPE_INT)
        return values;
    if (option->constraint_type == SANE_CONSTRAINT_WORD_LIST && option->constraint.word_list) {
        const SANE_Word* list = option->constraint.word_list;
        for (SANE_Word i = 1; i <= std::clamp<SANE_Word>(list[0], 0, 64); ++i)
            values.push_back(list[i]);
    } else if (option->constraint_type == SANE_CONSTRAINT_RANGE && option->constraint.range) {
        for (int depth : {1, 8, 16})
            if (depth >= option->constraint.range->min && depth <= option->constraint.range->max)
                values.push_back(depth);
    }
    return values;
}

bool SaneDevice::setNumber(const char* name, double value) {
    const SANE_Option_Descriptor* option = nullptr;
    const SANE_Int index = optionIndex(name, &option);
    if (index < 0 || !SANE_OPTION_IS_ACTIVE(option->cap) || !SANE_OPTION_IS_SETTABLE(option->cap) ||
        option->size < static_cast<SANE_Int>(sizeof(SANE_Word)))
        return false;
    const bool fixed = option->type == SANE_TYPE_FIXED;
    if (!fixed && option->type != SANE_TYPE_INT) return false;
    auto toWord = [fixed](double v) {
        return fixed ? SANE_FIX(v) : static_cast<SANE_Word>(std::lround(v));
    };
    auto toValue = [fixed](SANE_Word w) { return fixed ? SANE_UNFIX(w) : static_cast<double>(w); };
    if (option->constraint_type == SANE_CONSTRAINT_RANGE && option->constraint.range) {
        const SANE_Range& range = *option->constraint.range;
        value = std::clamp(value, toValue(range.min), toValue(range.max));
    } else if (option->constraint_type == SANE_CONSTRAINT_WORD_LIST &&
               option->constraint.word_list && option->constraint.word_list[0] > 0) {
        // The nearest value the device offers.
        const SANE_Word* list = option->constraint.word_list;
        double best = toValue(list[1]);
        for (SANE_Word i = 2; i <= std::min<SANE_Word>(list[0], 4096); ++i)
            if (std::fabs(toValue(list[i]) - value) < std::fabs(best - value))
                best = toValue(list[i]);
        value = best;
    }
    // Options of more than one word (vectors) take the value in their first word only.
    std::vector<SANE_Word> words(static_cast<std::size_t>(option->size) / sizeof(SANE_Word), 0);
    if (words.size() > 1 && sane_control_option(handle_, index, SANE_ACTION_GET_VALUE, words.data(),
                                                nullptr) != SANE_STATUS_GOOD)
        return false;
    words[0] = toWord(value);
    return sane_control_option(handle_, index, SANE_ACTION_SET_VALUE, words.data(), nullptr) ==
           SANE_STATUS_GOOD;
}

bool SaneDevice::setText(const char* name, const std::string& value) {
    const SANE_Option_Descriptor* option = nullptr;
    const SANE_Int index = optionIndex(name, &option);
    if (index < 0 || option->type != SANE_TYPE_STRING || option->size <= 0 ||
        !SANE_OPTION_IS_ACTIVE(option->cap) || !SANE_OPTION_IS_SETTABLE(option->cap))
        return false;
    std::vector<char> buffer(static_cast<std::size_t>(option->size), '\0');
    std::memcpy(buffer.data(), value.data(), std::min(value.size(), buffer.size() - 1));
    return sane_control_option(handle_, index, SANE_ACTION_SET_VALUE, buffer.data(), nullptr) ==
           SANE_STATUS_GOOD;
}

bool SaneDevice::setOption(const std::string& name, const std::string& value) {
    const SANE_Option_Descriptor* option = nullptr;
    const SANE_Int index = optionIndex(name.c_str(), &option);
    if (index < 0) return false;
    switch (option->type) {
        case SANE_TYPE_BOOL: {
            if (option->size < static_cast<SANE_Int>(sizeof(SANE_Bool))) return false;
            SANE_Bool on = (sameText(value, "yes") || sameText(value, "true") || value == "1")
                               ? SANE_TRUE
                               : SANE_FALSE;
            return sane_control_option(handle_, index, SANE_ACTION_SET_VALUE, &on, nullptr) ==
                   SANE_STATUS_GOOD;
        }
        case SANE_TYPE_INT:
        case SANE_TYPE_FIXED:
            try {
                return setNumber(name.c_str(), std::stod(value));
            } catch (...) {
                return false;
            }
        case SANE_TYPE_STRING:
            return setText(name.c_str(), value);
        default:
            return false;
    }
}

void SaneDevice::findResolutions() {
    const SANE_Option_Descriptor* option = nullptr;
    std::vector<int> offered;
    if (optionIndex(SANE_NAME_SCAN_RESOLUTION, &option) >= 0 &&
        (option->type == SANE_TYPE_INT || option->type == SANE_TYPE_FIXED)) {
        const bool fixed = option->type == SANE_TYPE_FIXED;
        auto dpiOf = [fixed](SANE_Word w) {
            return fixed ? static_cast<int>(std::lround(SANE_UNFIX(w))) : static_cast<int>(w);
        };
        if (option->constraint_type == SANE_CONSTRAINT_WORD_LIST && option->constraint.word_list) {
            const SANE_Word* list = option->constraint.word_list;
            for (SANE_Word i = 1; i <= std::clamp<SANE_Word>(list[0], 0, 4096); ++i)
                offered.push_back(dpiOf(list[i]));
        } else if (option->constraint_type == SANE_CONSTRAINT_RANGE && option->constraint.range) {
            const int low = dpiOf(option->constraint.range->min);
            const int high = dpiOf(option->constraint.range->max);
            for (int dpi : {75, 100, 150, 200, 300, 400, 600, 1200})
                if (dpi >= low && dpi <= high) offered.push_back(dpi);
            // A resolution remembered from before stays on offer while the device takes it.
            if (choices_.dpi >= low && choices_.dpi <= high &&
                std::find(offered.begin(), offered.end(), choices_.dpi) == offered.end())
                offered.push_back(choices_.dpi);
        }
    }
    offered.erase(std::remove_if(offered.begin(), offered.end(), [](int dpi) { return dpi <= 0; }),
                  offered.end());
    if (offered.empty()) return;
    // The resolutions documents are scanned at come first.
    std::vector<int> ordered;
    for (int usual : {150, 200, 300})
        if (std::find(offered.begin(), offered.end(), usual) != offered.end())
            ordered.push_back(usual);
    std::sort(offered.begin(), offered.end());
    for (int dpi : offered)
        if (std::find(ordered.begin(), ordered.end(), dpi) == ordered.end()) ordered.push_back(dpi);
    resolutions_ = ordered;
    if (std::find(resolutions_.begin(), resolutions_.end(), choices_.dpi) == resolutions_.end())
        choices_.dpi = resolutions_.front();
    defaults_.dpi = parameters_.dpi = choices_.dpi;
}

void SaneDevice::findSources() {
    flatbedSource_.clear();
    feederSource_.clear();
    const std::vector<std::string> sources = textChoices(SANE_NAME_SCAN_SOURCE);
    for (const std::string& source : sources) {
        if (feederSource_.empty() &&
            (containsText(source, "adf") || containsText(source, "feeder")))
            feederSource_ = source;
        else if (flatbedSource_.empty() && containsText(source, "flatbed"))
            flatbedSource_ = source;
    }
    // A device without a source option scans what it has, as a flatbed would.
    if (flatbedSource_.empty() && feederSource_.empty())
        flatbedSource_ = sources.empty() ? std::string() : sources.front();
    if (choices_.feeder && feederSource_.empty()) choices_.feeder = false;
}

void SaneDevice::applyChoices() {
    const std::vector<std::string> modes = textChoices(SANE_NAME_SCAN_MODE);
    auto pick = [&](std::initializer_list<const char*> names) -> std::string {
        for (const char* name : names)
            for (const std::string& mode : modes)
                if (sameText(mode, name)) return mode;
        return {};
    };
    const std::vector<int> depths = depthChoices();
    auto offersDepth = [&](int depth) {
        return std::find(depths.begin(), depths.end(), depth) != depths.end();
    };
    std::string mode;
    int depth = 8;
    switch (parameters_.pixelType) {
        case TWPT_BW:
            mode = pick({SANE_VALUE_SCAN_MODE_LINEART, "Binary", "Black & White", "BW"});
            // A device without a line-art mode gives black and white as grey of depth 1.
            if (mode.empty()) {
                mode = pick({SANE_VALUE_SCAN_MODE_GRAY, "Grey", "Grayscale"});
                depth = 1;
            }
            break;
        case TWPT_GRAY:
            mode = pick({SANE_VALUE_SCAN_MODE_GRAY, "Grey", "Grayscale"});
            break;
        default:
            mode = pick({SANE_VALUE_SCAN_MODE_COLOR, "Colour", "RGB"});
            break;
    }
    if (!mode.empty()) setText(SANE_NAME_SCAN_MODE, mode);
    if (offersDepth(depth)) setNumber(SANE_NAME_BIT_DEPTH, depth);
    const std::string& source = choices_.feeder ? feederSource_ : flatbedSource_;
    if (!source.empty()) setText(SANE_NAME_SCAN_SOURCE, source);
    setNumber(SANE_NAME_SCAN_RESOLUTION, parameters_.dpi);
    PageSize size = pageSizes().front();
    for (const PageSize& known : pageSizes())
        if (choices_.pageSize == known.key) size = known;
    // Corners in millimetres; a page larger than the glass is cut to the glass.
    setNumber(SANE_NAME_SCAN_TL_X, 0);
    setNumber(SANE_NAME_SCAN_TL_Y, 0);
    setNumber(SANE_NAME_SCAN_BR_X, size.widthMm);
    setNumber(SANE_NAME_SCAN_BR_Y, size.heightMm);
    // Then whatever the technician (or a test) asked for by SANE's own names.
    std::size_t start = 0;
    const std::string& extra = choices_.options;
    while (start < extra.size()) {
        std::size_t end = extra.find(';', start);
        if (end == std::string::npos) end = extra.size();
        const std::string item = extra.substr(start, end - start);
        if (const std::size_t equals = item.find('='); equals != std::string::npos)
            setOption(item.substr(0, equals), item.substr(equals + 1));
        start = end + 1;
    }
}

// ---- reading ------------------------------------------------------------------------------

bool SaneDevice::reading() const {
    std::lock_guard lock(mutex_);
    return !finished_;
}

void SaneDevice::startReading(std::function<void()> sheetRead) {
    stopReading();
    sheetRead_ = std::move(sheetRead);
    if (!handle_) {
        push(generation_, Sheet{{}, 0, ReadResult{0, ReadOutcome::Failed, TWCC_OPERATIONERROR}});
        return;
    }
    applyChoices();
    {
        std::lock_guard lock(mutex_);
        finished_ = false;
    }
    stop_ = false;
    percent_ = 0;
    if (dialog_) dialog_->showProgress(0);
    const std::uint64_t generation = generation_;
    const bool feeder = choices_.feeder && !feederSource_.empty();
    reader_ = std::thread(
        [this, generation, feeder, flavor = parameters_.pixelFlavor, dpi = parameters_.dpi] {
            try {
                readSheets(generation, feeder, flavor, dpi);
            } catch (...) {
                // Nothing leaves the thread: a failure ends the scan like a device error.
                push(generation, Sheet{{}, 0, ReadResult{0, ReadOutcome::Failed, TWCC_LOWMEMORY}});
                std::lock_guard lock(mutex_);
                finished_ = true;
            }
            notify(generation);
        });
}

void SaneDevice::readSheets(std::uint64_t generation, bool feeder, TW_UINT16 flavor, int dpi) {
    std::vector<std::uint8_t> buffer(kReadBuffer);
    for (int sheet = 1;; ++sheet) {
        SanePageBuilder builder(flavor);
        std::optional<ReadResult> failure;
        bool feederEmpty = false;
        bool firstFrame = true;
        while (!builder.complete()) {
            if (stop_) {
                failure = readResultFor(SANE_STATUS_CANCELLED);
                break;
            }
            const SANE_Status started = sane_start(handle_);
            if (started != SANE_STATUS_GOOD) {
                // An empty feeder after the first sheet is the feeder's normal end.
                if (started == SANE_STATUS_NO_DOCS && sheet > 1 && firstFrame)
                    feederEmpty = true;
                else
                    failure = readResultFor(started);
                break;
            }
            firstFrame = false;
            SANE_Parameters frame{};
            if (sane_get_parameters(handle_, &frame) != SANE_STATUS_GOOD ||
                !builder.beginFrame(frame)) {
                failure = ReadResult{0, ReadOutcome::Failed, TWCC_BUMMER};
                break;
            }
            SANE_Status status = SANE_STATUS_GOOD;
            for (;;) {
                SANE_Int length = 0;
                {
                    // Only a read may be interrupted by another thread's cancel.
                    const std::lock_guard<std::mutex> lock(cancelMutex_);
                    if (stop_) {
                        status = SANE_STATUS_CANCELLED;
                        break;
                    }
                    inRead_ = true;
                }
                status = sane_read(handle_, buffer.data(), static_cast<SANE_Int>(buffer.size()),
                                   &length);
                {
                    const std::lock_guard<std::mutex> lock(cancelMutex_);
                    inRead_ = false;
                }
                // Not every backend stops reading on sane_cancel: the clerk's cancel counts.
                if (stop_) status = SANE_STATUS_CANCELLED;
                if (status != SANE_STATUS_GOOD) break;
                if (length < 0 || static_cast<std::size_t>(length) > buffer.size()) {
                    status = SANE_STATUS_IO_ERROR;
                    break;
                }
                if (!builder.append(buffer.data(), static_cast<std::size_t>(length))) {
                    status = SANE_STATUS_NO_MEM;
                    break;
                }
                const int expected = builder.rowsExpected();
                const int percent = expected > 0 ? builder.rowsDone() * 100 / expected : -1;
                if (percent != percent_.exchange(percent)) notify(generation);
            }
            if (status != SANE_STATUS_EOF) {
                failure = readResultFor(status);
                break;
            }
            if (!builder.endFrame()) {
                failure = ReadResult{0, ReadOutcome::Failed, TWCC_BUMMER};
                break;
            }
        }
        if (feederEmpty) break;
        if (failure)
            push(generation, Sheet{{}, 0, failure});
        else
            push(generation, Sheet{builder.take(), dpi, std::nullopt});
        if (failure || !feeder || stop_) break;
    }
    // Every scan ends with sane_cancel, whatever ended it.
    {
        const std::lock_guard<std::mutex> lock(cancelMutex_);
        sane_cancel(handle_);
    }
    std::lock_guard lock(mutex_);
    finished_ = true;
}

void SaneDevice::push(std::uint64_t generation, Sheet sheet) {
    {
        std::lock_guard lock(mutex_);
        if (generation != generation_) return;
        sheets_.push_back(std::move(sheet));
    }
    notify(generation);
}

void SaneDevice::notify(std::uint64_t generation) {
    changed_.notify_all();
    std::lock_guard lock(mutex_);
    // One piece of news at a time is enough: it reads everything there is to read.
    if (newsPosted_ || !notifier_) return;
    newsPosted_ = true;
    newsGeneration_ = generation;
    QMetaObject::invokeMethod(
        notifier_.get(), [this, generation] { workerNews(generation); }, Qt::QueuedConnection);
}

void SaneDevice::workerNews(std::uint64_t generation) {
    bool anySheet = false;
    {
        std::lock_guard lock(mutex_);
        newsPosted_ = false;
        // News of an earlier scan still tells the current one's state.
        (void)generation;
        anySheet = !sheets_.empty() || finished_;
    }
    if (dialog_) dialog_->showProgress(percent_.load());
    if (waiting_) waiting_->quit();
    if (anySheet && sheetRead_) {
        auto first = std::move(sheetRead_);
        sheetRead_ = nullptr;
        first();
    }
}

int SaneDevice::sheetsReady() {
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            if (!sheets_.empty() || finished_) {
                if (sheets_.empty()) return 0;
                return finished_ ? static_cast<int>(sheets_.size()) : kMoreToCome;
            }
            if (!QCoreApplication::instance()) {
                changed_.wait(lock, [this] { return !sheets_.empty() || finished_; });
                continue;
            }
        }
        // The next sheet is still being read: the windows keep running meanwhile.
        QEventLoop loop;
        waiting_ = &loop;
        bool ready = false;
        {
            std::lock_guard lock(mutex_);
            ready = !sheets_.empty() || finished_;
        }
        if (!ready) loop.exec();
        waiting_ = nullptr;
    }
}

std::unique_ptr<PageReader> SaneDevice::feedSheet(int) {
    Sheet sheet{{}, 0, ReadResult{0, ReadOutcome::Failed, TWCC_SEQERROR}};
    {
        std::lock_guard lock(mutex_);
        if (!sheets_.empty()) {
            sheet = std::move(sheets_.front());
            sheets_.pop_front();
        }
    }
    return std::make_unique<SaneSheetReader>(std::move(sheet.page), sheet.dpi, sheet.failure);
}

void SaneDevice::cancelDevice() {
    const std::lock_guard<std::mutex> lock(cancelMutex_);
    stop_ = true;
    // A read in progress is interrupted; anything else sees stop_ before its next step.
    if (inRead_) sane_cancel(handle_);
}

void SaneDevice::cancelReading() {
    if (!reading()) return;
    stop_ = true;
    cancelDevice();
}

void SaneDevice::stopReading() {
    if (reader_.joinable()) {
        stop_ = true;
        if (reading()) cancelDevice();
        reader_.join();
    }
    std::lock_guard lock(mutex_);
    ++generation_;
    sheets_.clear();
    finished_ = true;
    sheetRead_ = nullptr;
}

}  // namespace brevanto::twaindsm

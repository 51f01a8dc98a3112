#include "platform/twaindsm/SourceManager.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "platform/twaindsm/SaneDevice.h"
#include "platform/twaindsm/ScanDialog.h"
#include "platform/twaindsm/SelectSourceDialog.h"
#include "platform/twaindsm/VirtualScanner.h"
#include "platform/win/Window.h"

namespace brevanto::twaindsm {

namespace {

// Virtual scanners get the Ids 0x100 + their ini section, applications count from 1.
constexpr TW_UINT32 kFirstSourceId = 0x100;

void copyText(char (&field)[34], const std::string& text) {
    std::memset(field, 0, sizeof field);
    std::memcpy(field, text.data(), std::min(text.size(), sizeof field - 1));
}

bool sameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// At most size bytes of text, not cutting a UTF-8 character in two.
std::string cutText(const std::string& text, std::size_t size) {
    if (text.size() <= size) return text;
    while (size > 0 && (static_cast<unsigned char>(text[size]) & 0xC0) == 0x80) --size;
    return text.substr(0, size);
}

std::string textOf(const char (&field)[34]) {
    return std::string(field, strnlen(field, sizeof field));
}

}  // namespace

TW_IDENTITY virtualScannerIdentity(const ScannerSettings& settings) {
    TW_IDENTITY id;
    std::memset(&id, 0, sizeof id);
    id.Id = kFirstSourceId + static_cast<TW_UINT32>(settings.section);
    id.Version.MajorNum = 1;
    id.Version.MinorNum = 0;
    id.Version.Language = TWLG_USA;
    id.Version.Country = TWCY_USA;
    copyText(id.Version.Info, "1.0 virtual scanner");
    id.ProtocolMajor = 1;
    id.ProtocolMinor = 9;
    id.SupportedGroups = DG_CONTROL | DG_IMAGE;
    copyText(id.Manufacturer, "Brevanto");
    copyText(id.ProductFamily, "Virtual Scanner");
    copyText(id.ProductName, settings.name);
    return id;
}

SourceManager::SourceManager() = default;

SourceManager::~SourceManager() = default;

TW_UINT16 SourceManager::entry(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat,
                               TW_UINT16 msg, TW_MEMREF data) {
    if (!origin) {
        condition_ = TWCC_BADVALUE;
        return TWRC_FAILURE;
    }
    const auto found = origin->Id != 0 ? applications_.find(origin->Id) : applications_.end();
    Application* app = found == applications_.end() ? nullptr : &found->second;
    const TW_UINT32 appId = app ? origin->Id : 0;
    // The condition code goes to the caller's own record, or to the one of callers that have
    // not opened the manager (or have just closed it).
    auto remember = [&](Reply reply) {
        const auto at = appId ? applications_.find(appId) : applications_.end();
        (at != applications_.end() ? at->second.condition : condition_) = reply.cc;
        return reply.rc;
    };

    try {
        if (!dest) {
            const Reply reply = toManager(origin, app, dg, dat, msg, data);
            // Reading the status leaves it for the next reader.
            if (dat == DAT_STATUS && reply.rc == TWRC_SUCCESS) return reply.rc;
            return remember(reply);
        }
        if (!app) return remember({TWRC_FAILURE, TWCC_SEQERROR});
        for (Listed& listed : sources_)
            if (listed.source->identity().Id == dest->Id && listed.owner == appId)
                return listed.source->handle(dg, dat, msg, data);
        return remember({TWRC_FAILURE, TWCC_BADDEST});
    } catch (const std::bad_alloc&) {
        return remember({TWRC_FAILURE, TWCC_LOWMEMORY});
    } catch (...) {
        return remember({TWRC_FAILURE, TWCC_BUMMER});
    }
}

SourceManager::Reply SourceManager::toManager(TW_IDENTITY* origin, Application* app, TW_UINT32 dg,
                                              TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    if (dg != DG_CONTROL) return {TWRC_FAILURE, TWCC_BADPROTOCOL};
    switch (dat) {
        case DAT_STATUS: {
            if (msg != MSG_GET) return {TWRC_FAILURE, TWCC_BADPROTOCOL};
            auto* status = static_cast<TW_STATUS*>(data);
            if (!status) return {TWRC_FAILURE, TWCC_BADVALUE};
            status->ConditionCode = app ? app->condition : condition_;
            status->Reserved = 0;
            return {TWRC_SUCCESS, status->ConditionCode};
        }
        case DAT_PARENT:
            if (msg == MSG_OPENDSM) {
                if (app) return {TWRC_FAILURE, TWCC_SEQERROR};
                return openManager(origin, data);
            }
            if (msg == MSG_CLOSEDSM) {
                if (!app) return {TWRC_FAILURE, TWCC_SEQERROR};
                return closeManager(origin->Id);
            }
            return {TWRC_FAILURE, TWCC_BADPROTOCOL};
        case DAT_IDENTITY:
            switch (msg) {
                case MSG_GETFIRST:
                case MSG_GETNEXT:
                case MSG_GETDEFAULT:
                case MSG_USERSELECT:
                case MSG_OPENDS:
                case MSG_CLOSEDS:
                    if (!app) return {TWRC_FAILURE, TWCC_SEQERROR};
                    if (!data) return {TWRC_FAILURE, TWCC_BADVALUE};
                    return identity(origin->Id, *app, msg, static_cast<TW_IDENTITY*>(data));
                default:
                    return {TWRC_FAILURE, TWCC_BADPROTOCOL};
            }
        default:
            return {TWRC_FAILURE, TWCC_BADPROTOCOL};
    }
}

SourceManager::Reply SourceManager::openManager(TW_IDENTITY* origin, TW_MEMREF data) {
    if (!data) return {TWRC_FAILURE, TWCC_BADVALUE};
    forgetVanishedApplications();
    if (!anySourceOpen()) loadSources();
    const TW_UINT32 id = nextApplicationId_++;
    Application app;
    app.parent = *static_cast<win::HWND*>(data);
    applications_[id] = app;
    origin->Id = id;
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

SourceManager::Reply SourceManager::closeManager(TW_UINT32 appId) {
    for (const Listed& listed : sources_)
        if (listed.owner == appId) return {TWRC_FAILURE, TWCC_SEQERROR};
    applications_.erase(appId);
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

SourceManager::Reply SourceManager::identity(TW_UINT32 appId, Application& app, TW_UINT16 msg,
                                             TW_IDENTITY* record) {
    switch (msg) {
        case MSG_GETFIRST:
            app.nextListed = 0;
            [[fallthrough]];
        case MSG_GETNEXT:
            if (app.nextListed >= sources_.size()) return {TWRC_ENDOFLIST, TWCC_SUCCESS};
            *record = sources_[app.nextListed++].source->identity();
            return {TWRC_SUCCESS, TWCC_SUCCESS};
        case MSG_GETDEFAULT:
            if (sources_.empty()) return {TWRC_FAILURE, TWCC_NODS};
            *record = sources_[defaultIndex()].source->identity();
            return {TWRC_SUCCESS, TWCC_SUCCESS};
        case MSG_USERSELECT:
            return userSelect(record);
        case MSG_OPENDS:
            return openSource(appId, record);
        default:
            return closeSource(appId, record);
    }
}

SourceManager::Reply SourceManager::userSelect(TW_IDENTITY* record) {
    if (sources_.empty()) return {TWRC_FAILURE, TWCC_NODS};
    // Taken before the dialog runs: the application may call in again while it is up.
    std::vector<TW_IDENTITY> identities;
    std::vector<std::string> names;
    for (const Listed& listed : sources_) {
        identities.push_back(listed.source->identity());
        names.push_back(textOf(listed.source->identity().ProductName));
    }
    const std::size_t preselected = defaultIndex();
    std::optional<std::size_t> choice;
    const std::string& answer = settings_.autoSelect;
    if (answer.empty()) {
        if (!ScanDialog::guiAvailable()) return {TWRC_FAILURE, TWCC_OPERATIONERROR};
        choice = runSelectSourceDialog(names, preselected);
    } else if (sameText(answer, "default")) {
        choice = preselected;
    } else if (!sameText(answer, "cancel")) {
        for (std::size_t i = 0; i < names.size(); ++i)
            if (sameText(names[i], answer)) choice = i;
    }
    if (!choice) return {TWRC_CANCEL, TWCC_SUCCESS};
    *record = identities[*choice];
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

SourceManager::Reply SourceManager::openSource(TW_UINT32 appId, TW_IDENTITY* record) {
    forgetVanishedApplications();
    Listed* listed = nullptr;
    if (record->Id == 0 && record->ProductName[0] == 0) {
        if (!sources_.empty()) listed = &sources_[defaultIndex()];
    } else {
        listed = findSource(*record);
    }
    if (!listed) return {TWRC_FAILURE, TWCC_NODS};
    if (listed->owner != 0) return {TWRC_FAILURE, TWCC_MAXCONNECTIONS};
    if (const TW_UINT16 refused = listed->source->open(); refused != TWCC_SUCCESS)
        return {TWRC_FAILURE, refused};
    listed->owner = appId;
    *record = listed->source->identity();
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

SourceManager::Reply SourceManager::closeSource(TW_UINT32 appId, TW_IDENTITY* record) {
    Listed* listed = findSource(*record);
    if (!listed || listed->owner != appId) return {TWRC_FAILURE, TWCC_NODS};
    if (listed->source->state() > 4) return {TWRC_FAILURE, TWCC_SEQERROR};
    listed->source->close();
    listed->owner = 0;
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

SourceManager::Listed* SourceManager::findSource(const TW_IDENTITY& record) {
    const std::string name = textOf(record.ProductName);
    for (Listed& listed : sources_) {
        const TW_IDENTITY& id = listed.source->identity();
        if (record.Id != 0 ? id.Id == record.Id : sameText(textOf(id.ProductName), name))
            return &listed;
    }
    return nullptr;
}

void SourceManager::loadSources() {
    settings_ = loadDsmSettings(dsmSettingsPath());
    sources_.clear();
    if (settings_.virtualScanner) {
        for (const ScannerSettings& scanner : settings_.scanners) {
            DataSource::Options options;
            options.stripSize = scanner.stripSize;
            options.autoScan = scanner.autoScan;
            options.transferFile = scanner.transferFile;
            sources_.push_back(
                {std::make_unique<DataSource>(virtualScannerIdentity(scanner),
                                              std::make_unique<VirtualScanner>(scanner), options),
                 0});
        }
    }
    loadSaneSources();
}

void SourceManager::loadSaneSources() {
    // SANE afresh each time: a scanner plugged in since is found, its configuration read again.
    sane_.reset();
    sane_ = std::make_unique<SaneLibrary>();
    std::vector<std::string> names;
    std::vector<TW_UINT32> ids;
    for (const Listed& listed : sources_) {
        names.push_back(textOf(listed.source->identity().ProductName));
        ids.push_back(listed.source->identity().Id);
    }
    auto taken = [&names](const std::string& name) {
        return std::any_of(names.begin(), names.end(),
                           [&](const std::string& other) { return sameText(other, name); });
    };
    for (const SaneLibrary::Device& device : sane_->devices()) {
        std::string base = device.vendor;
        if (!device.model.empty()) base += (base.empty() ? "" : " ") + device.model;
        if (base.empty()) base = device.name;
        // Two scanners of one model get numbers after the first.
        std::string name = cutText(base, 33);
        for (int n = 2; taken(name); ++n) {
            const std::string suffix = " #" + std::to_string(n);
            name = cutText(base, 33 - suffix.size()) + suffix;
        }
        TW_UINT32 id = saneSourceId(device.name);
        while (std::find(ids.begin(), ids.end(), id) != ids.end()) ++id;
        names.push_back(name);
        ids.push_back(id);
        DataSource::Options options;
        options.autoScan = settings_.saneAutoScan;
        sources_.push_back(
            {std::make_unique<DataSource>(
                 saneIdentity(device, name, id),
                 std::make_unique<SaneDevice>(device, name, saneChoicesPath()), options),
             0});
    }
}

void SourceManager::forgetVanishedApplications() {
    for (auto at = applications_.begin(); at != applications_.end();) {
        if (at->second.parent && !win::IsWindow(at->second.parent)) {
            for (Listed& listed : sources_)
                if (listed.owner == at->first) {
                    listed.source->close();
                    listed.owner = 0;
                }
            at = applications_.erase(at);
        } else {
            ++at;
        }
    }
}

bool SourceManager::anySourceOpen() const {
    return std::any_of(sources_.begin(), sources_.end(),
                       [](const Listed& listed) { return listed.owner != 0; });
}

std::size_t SourceManager::defaultIndex() const {
    for (std::size_t i = 0; i < sources_.size(); ++i)
        if (sameText(textOf(sources_[i].source->identity().ProductName), settings_.defaultSource))
            return i;
    return 0;
}

}  // namespace brevanto::twaindsm

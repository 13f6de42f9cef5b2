// The in-memory registry: a key tree under the predefined roots, per-handle access rights,
// injected failures and a record of every call.
#include "platform/sim/SimRegistry.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <utility>

#include "platform/sim/RegText.h"

namespace quorvel::platform::sim {

using detail::FoldName;
using detail::NamesEqual;
using detail::SplitKeyPath;

namespace {

// Status codes the simulation returns beyond those the program names.
constexpr long kErrorBadPathname = 161;
constexpr long kErrorNoAccess = 998;
constexpr long kErrorBadKey = 1010;
constexpr long kErrorKeyDeleted = 1018;
constexpr long kErrorChildMustBeVolatile = 1021;
constexpr std::uint32_t kErrorInsufficientBuffer = 122;
constexpr std::uint32_t kErrorMrMidNotFound = 317;

constexpr std::uint32_t kGenericRead = 0x80000000u;
constexpr std::uint32_t kGenericWrite = 0x40000000u;
constexpr std::uint32_t kGenericExecute = 0x20000000u;
constexpr std::uint32_t kGenericAll = 0x10000000u;
constexpr std::uint32_t kMaximumAllowed = 0x02000000u;
constexpr std::uint32_t kKeyWrite = 0x20006;
constexpr std::uint32_t kKeyWow64Flags = 0x0300;  // KEY_WOW64_64KEY | KEY_WOW64_32KEY

// 2000-01-01 00:00 UTC in FILETIME units; each change moves the clock on by a second.
constexpr std::uint64_t kClockStart = 0x01BF53EB256D4000ull;
constexpr std::uint64_t kClockTick = 10000000ull;

// Handles the simulation gives out: small multiples of four like real ones, never reused, so a
// stale handle stays invalid instead of reaching someone else's key.
constexpr HKey kFirstHandle = 0x1000;

struct Node;

// A key's subkeys by folded name, which is their enumeration order. Enumeration by index keeps
// its place, so that a walk over the indices 0, 1, 2... costs O(1) a step instead of a search
// from the start; every change of the children forgets the place.
class Children {
  public:
    using Map = std::map<std::u16string, std::shared_ptr<Node>>;

    const Map& All() const { return map_; }
    std::size_t Count() const { return map_.size(); }

    std::shared_ptr<Node> Find(const std::u16string& folded) const {
        const auto it = map_.find(folded);
        return it == map_.end() ? nullptr : it->second;
    }

    void Insert(std::u16string folded, std::shared_ptr<Node> child) {
        map_[std::move(folded)] = std::move(child);
        placed_ = false;
    }

    std::shared_ptr<Node> Erase(const std::u16string& folded) {
        const auto it = map_.find(folded);
        if (it == map_.end()) {
            return nullptr;
        }
        std::shared_ptr<Node> child = it->second;
        map_.erase(it);
        placed_ = false;
        return child;
    }

    // The child at `index` in enumeration order, or nullptr past the last one. The walk starts
    // from the nearest of the beginning, the end and the last place.
    const Node* At(std::size_t index) const {
        if (index >= map_.size()) {
            return nullptr;
        }
        const auto distance = [](std::size_t a, std::size_t b) { return a > b ? a - b : b - a; };
        auto from = map_.begin();
        std::size_t fromIndex = 0;
        if (map_.size() - index < index) {
            from = map_.end();
            fromIndex = map_.size();
        }
        if (placed_ && distance(placeIndex_, index) < distance(fromIndex, index)) {
            from = place_;
            fromIndex = placeIndex_;
        }
        std::advance(from,
                     static_cast<std::ptrdiff_t>(index) - static_cast<std::ptrdiff_t>(fromIndex));
        place_ = from;
        placeIndex_ = index;
        placed_ = true;
        return from->second.get();
    }

  private:
    Map map_;
    mutable Map::const_iterator place_;
    mutable std::size_t placeIndex_ = 0;
    mutable bool placed_ = false;
};

struct Node {
    std::string name;
    std::string fullPath;  // "HKEY_LOCAL_MACHINE\..." in the casing each key was created with
    Children children;
    std::vector<std::pair<std::string, RawValue>> values;  // first-write order
    bool isVolatile = false;
    bool deleted = false;
    std::uint64_t writeTime = kClockStart;

    std::shared_ptr<Node> Child(const std::string& childName) const {
        return children.Find(FoldName(childName));
    }
    const RawValue* FindValue(const std::string& valueName) const {
        for (const auto& entry : values) {
            if (NamesEqual(entry.first, valueName)) {
                return &entry.second;
            }
        }
        return nullptr;
    }
};

struct OpenKey {
    std::shared_ptr<Node> node;
    std::uint32_t access = 0;
};

// What a handle stands for: a predefined root (all rights) or a key opened earlier.
struct Resolved {
    std::shared_ptr<Node> node;
    std::uint32_t access = 0;
    bool predefined = false;
};

bool IsPredefined(HKey key) {
    // Only the low 32 bits of a predefined handle count, as on 64-bit Windows.
    const auto low = static_cast<std::uint32_t>(key & 0xFFFFFFFFu);
    return low >= 0x80000000u && low <= 0x80000003u;
}

HKey NormalizePredefined(HKey key) {
    return MakePredefinedKey(static_cast<std::uint32_t>(key & 0xFFFFFFFFu));
}

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
    if (suffix.size() > text.size()) {
        return false;
    }
    return FoldName(text.substr(text.size() - suffix.size())) == FoldName(suffix);
}

// Generic rights mapped to key rights (the registry's generic mapping); WOW64 view flags dropped.
std::uint32_t MapGenericAccess(std::uint32_t access) {
    std::uint32_t mapped =
        access & ~(kKeyWow64Flags | kGenericRead | kGenericWrite | kGenericExecute | kGenericAll);
    if (access & (kGenericRead | kGenericExecute)) {
        mapped |= kKeyRead;
    }
    if (access & kGenericWrite) {
        mapped |= kKeyWrite;
    }
    if (access & kGenericAll) {
        mapped |= kKeyAllAccess;
    }
    return mapped;
}

void MarkDeleted(Node& node) {
    node.deleted = true;
    for (auto& child : node.children.All()) {
        MarkDeleted(*child.second);
    }
}

}  // namespace

struct SimRegistry::Impl {
    std::map<HKey, std::shared_ptr<Node>> roots;
    std::map<HKey, OpenKey> handles;
    HKey nextHandle = kFirstHandle;
    std::map<std::u16string, std::uint32_t> denied;  // by folded full path
    std::vector<RegFailure> failures;
    std::optional<std::pair<std::size_t, long>> failAtCall;
    std::map<std::uint32_t, std::string> messages;
    std::optional<std::uint32_t> formatFailure;
    std::vector<RegCallRecord> calls;
    std::uint64_t clock = kClockStart;

    Impl() {
        for (HKey root : {kHkeyClassesRoot, kHkeyCurrentUser, kHkeyLocalMachine, kHkeyUsers}) {
            auto node = std::make_shared<Node>();
            node->name = RootName(root);
            node->fullPath = node->name;
            roots[root] = node;
        }
        const std::pair<std::uint32_t, const char*> texts[] = {
            {0, "The operation completed successfully."},
            {2, "The system cannot find the file specified."},
            {5, "Access is denied."},
            {6, "The handle is invalid."},
            {87, "The parameter is incorrect."},
            {122, "The data area passed to a system call is too small."},
            {161, "The specified path is invalid."},
            {234, "More data is available."},
            {259, "No more data is available."},
            {998, "Invalid access to memory location."},
            {1010, "The configuration registry key is invalid."},
            {1018,
             "Illegal operation attempted on a registry key that has been marked for "
             "deletion."},
            {1021, "Cannot create a stable subkey under a volatile parent key."},
            {1300, "Not all privileges or groups referenced are assigned to the caller."},
            {1815, "The specified resource language ID cannot be found in the image file."},
        };
        for (const auto& text : texts) {
            messages[text.first] = std::string(text.second) + "\r\n";
        }
    }

    std::uint64_t Tick() { return clock += kClockTick; }

    Resolved Resolve(HKey key) const {
        Resolved resolved;
        if (IsPredefined(key)) {
            const auto it = roots.find(NormalizePredefined(key));
            if (it != roots.end()) {
                resolved.node = it->second;
                resolved.access = 0xFFFFFFFFu;
                resolved.predefined = true;
            }
            return resolved;
        }
        const auto it = handles.find(key);
        if (it != handles.end()) {
            resolved.node = it->second.node;
            resolved.access = it->second.access;
        }
        return resolved;
    }

    // The path a call on base\subKey works on: existing keys in their stored casing, the rest as
    // given.
    static std::string TargetPath(const Resolved& base, const std::string& subKey) {
        if (!base.node) {
            return {};
        }
        std::string path = base.node->fullPath;
        std::shared_ptr<Node> node = base.node;
        for (const std::string& part : SplitKeyPath(subKey)) {
            node = node ? node->Child(part) : nullptr;
            path += "\\" + (node ? node->name : part);
        }
        return path;
    }

    std::optional<long> TakeFailure(RegCall call, const std::string& keyPath,
                                    const std::string& name) {
        // Calls are recorded after they return, so this one will be number calls.size().
        if (failAtCall && failAtCall->first == calls.size()) {
            const long status = failAtCall->second;
            failAtCall.reset();
            return status;
        }
        for (auto it = failures.begin(); it != failures.end(); ++it) {
            if (it->call != call ||
                (!it->keyPathSuffix.empty() && !EndsWithNoCase(keyPath, it->keyPathSuffix)) ||
                (it->name && !NamesEqual(*it->name, name))) {
                continue;
            }
            const long status = it->status;
            if (!it->repeat) {
                failures.erase(it);
            }
            return status;
        }
        return std::nullopt;
    }

    std::uint32_t DeniedFor(const std::string& fullPath) const {
        const auto it = denied.find(FoldName(fullPath));
        return it == denied.end() ? 0 : it->second;
    }

    // The rights a handle to fullPath gets, or nullopt when the key refuses what was asked.
    std::optional<std::uint32_t> Grant(const std::string& fullPath, std::uint32_t access) const {
        const std::uint32_t requested = MapGenericAccess(access);
        const std::uint32_t refused = DeniedFor(fullPath);
        if ((requested & ~kMaximumAllowed) & refused) {
            return std::nullopt;
        }
        if (requested & kMaximumAllowed) {
            return (requested & ~kMaximumAllowed) | (kKeyAllAccess & ~refused);
        }
        return requested;
    }

    HKey NewHandle(std::shared_ptr<Node> node, std::uint32_t access) {
        const HKey handle = nextHandle;
        nextHandle += 4;
        handles[handle] = OpenKey{std::move(node), access};
        return handle;
    }

    std::shared_ptr<Node> Find(HKey root, const std::string& path) const {
        const auto it = roots.find(IsPredefined(root) ? NormalizePredefined(root) : root);
        if (it == roots.end()) {
            return nullptr;
        }
        std::shared_ptr<Node> node = it->second;
        for (const std::string& part : SplitKeyPath(path)) {
            node = node->Child(part);
            if (!node) {
                return nullptr;
            }
        }
        return node;
    }

    static std::shared_ptr<Node> AddChild(Node& parent, const std::string& name, bool isVolatile,
                                          std::uint64_t now) {
        auto child = std::make_shared<Node>();
        child->name = name;
        child->fullPath = parent.fullPath + "\\" + name;
        child->isVolatile = isVolatile;
        child->writeTime = now;
        parent.children.Insert(FoldName(name), child);
        parent.writeTime = now;
        return child;
    }

    std::shared_ptr<Node> Make(HKey root, const std::string& path) {
        const auto it = roots.find(IsPredefined(root) ? NormalizePredefined(root) : root);
        if (it == roots.end()) {
            return nullptr;
        }
        std::shared_ptr<Node> node = it->second;
        for (const std::string& part : SplitKeyPath(path)) {
            std::shared_ptr<Node> child = node->Child(part);
            node = child ? child : AddChild(*node, part, false, Tick());
        }
        return node;
    }

    void Delete(HKey root, const std::string& path) {
        const std::vector<std::string> parts = SplitKeyPath(path);
        if (parts.empty()) {
            return;  // a root key cannot be deleted
        }
        std::string parentPath;
        for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
            parentPath += parts[i] + "\\";
        }
        const std::shared_ptr<Node> parent = Find(root, parentPath);
        if (!parent) {
            return;
        }
        const std::shared_ptr<Node> child = parent->children.Erase(FoldName(parts.back()));
        if (!child) {
            return;
        }
        MarkDeleted(*child);
        parent->writeTime = Tick();
    }

    // Every volatile key below `node` goes, with its subtree.
    void DropVolatile(Node& node) {
        std::vector<std::u16string> gone;
        for (const auto& [folded, child] : node.children.All()) {
            if (child->isVolatile) {
                gone.push_back(folded);
            } else {
                DropVolatile(*child);
            }
        }
        for (const std::u16string& folded : gone) {
            MarkDeleted(*node.children.Erase(folded));
        }
    }

    void SetValue(Node& node, const std::string& name, RawValue value) {
        node.writeTime = Tick();
        for (auto& entry : node.values) {
            if (NamesEqual(entry.first, name)) {
                entry.second = std::move(value);  // the name keeps its first casing
                return;
            }
        }
        node.values.emplace_back(name, std::move(value));
    }

    long Open(HKey key, const std::string& subKey, std::uint32_t access, HKey* result,
              std::string* keyPath) {
        const Resolved base = Resolve(key);
        *keyPath = TargetPath(base, subKey);
        if (result == nullptr) {
            return kErrorInvalidParameter;
        }
        *result = 0;
        if (!base.node) {
            return kErrorInvalidHandle;
        }
        if (const auto failure = TakeFailure(RegCall::Open, *keyPath, subKey)) {
            return *failure;
        }
        // A predefined key with no subkey comes back as itself, not as a new handle.
        if (base.predefined && subKey.empty()) {
            *result = key;
            return kErrorSuccess;
        }
        if (base.node->deleted) {
            return kErrorKeyDeleted;
        }
        std::string rest = subKey;
        // NT refuses a leading backslash, except for one under HKEY_CLASSES_ROOT.
        if (!rest.empty() && rest[0] == '\\' && base.predefined &&
            NormalizePredefined(key) == kHkeyClassesRoot) {
            rest.erase(0, 1);
        }
        if (!rest.empty() && rest[0] == '\\') {
            return kErrorBadPathname;
        }
        std::shared_ptr<Node> node = base.node;
        for (const std::string& part : SplitKeyPath(rest)) {
            node = node->Child(part);
            if (!node) {
                return kErrorFileNotFound;
            }
        }
        const auto granted = Grant(node->fullPath, access);
        if (!granted) {
            return kErrorAccessDenied;
        }
        *result = NewHandle(node, *granted);
        return kErrorSuccess;
    }

    long Create(HKey key, const std::string& subKey, std::uint32_t options, std::uint32_t access,
                HKey* result, std::uint32_t* disposition, std::string* keyPath) {
        const Resolved base = Resolve(key);
        *keyPath = TargetPath(base, subKey);
        if (result == nullptr) {
            return kErrorBadKey;
        }
        if (!base.node) {
            return kErrorInvalidHandle;
        }
        if (const auto failure = TakeFailure(RegCall::Create, *keyPath, subKey)) {
            return *failure;
        }
        if (base.node->deleted) {
            return kErrorKeyDeleted;
        }
        if (!subKey.empty() && subKey[0] == '\\') {
            return kErrorBadPathname;
        }
        const std::vector<std::string> parts = SplitKeyPath(subKey);
        const bool isVolatile = (options & kRegOptionVolatile) != 0;

        // Every check comes before any change, so a refused create leaves nothing behind.
        std::shared_ptr<Node> node = base.node;
        std::size_t existing = 0;
        for (; existing < parts.size(); ++existing) {
            std::shared_ptr<Node> child = node->Child(parts[existing]);
            if (!child) {
                break;
            }
            node = child;
        }
        std::string path = node->fullPath;
        if (existing < parts.size()) {
            if (node->isVolatile && !isVolatile) {
                return kErrorChildMustBeVolatile;
            }
            for (std::size_t i = existing; i < parts.size(); ++i) {
                // Creating a subkey takes KEY_CREATE_SUB_KEY on its parent.
                if (DeniedFor(path) & kKeyCreateSubKey) {
                    return kErrorAccessDenied;
                }
                path += "\\" + parts[i];
            }
        }
        const auto granted = Grant(path, access);
        if (!granted) {
            return kErrorAccessDenied;
        }
        for (std::size_t i = existing; i < parts.size(); ++i) {
            node = AddChild(*node, parts[i], isVolatile, Tick());
        }
        if (disposition != nullptr) {
            *disposition = existing < parts.size() ? kRegCreatedNewKey : kRegOpenedExistingKey;
        }
        *result = NewHandle(node, *granted);
        return kErrorSuccess;
    }

    long Enum(HKey key, std::uint32_t index, char* name, std::uint32_t* nameSize, char* className,
              std::uint32_t* classSize, FileTime* lastWriteTime, std::string* keyPath) {
        const Resolved base = Resolve(key);
        if (!base.node) {
            return kErrorInvalidHandle;
        }
        *keyPath = base.node->fullPath;
        if (const auto failure = TakeFailure(RegCall::Enum, *keyPath, "")) {
            return *failure;
        }
        if (!(base.access & kKeyEnumerateSubKeys)) {
            return kErrorAccessDenied;
        }
        if (base.node->deleted) {
            return kErrorKeyDeleted;
        }
        if (name == nullptr || nameSize == nullptr ||
            (className != nullptr && classSize == nullptr)) {
            return kErrorInvalidParameter;
        }
        const Node* found = base.node->children.At(index);
        if (found == nullptr) {
            return kErrorNoMoreItems;
        }
        const Node& child = *found;
        if (lastWriteTime != nullptr) {
            lastWriteTime->low = static_cast<std::uint32_t>(child.writeTime & 0xFFFFFFFFu);
            lastWriteTime->high = static_cast<std::uint32_t>(child.writeTime >> 32);
        }
        // Sizes count the terminator on the way in; keys have no class, which still needs one.
        const std::size_t length = child.name.size();
        if (length + 1 > *nameSize || (className != nullptr && *classSize < 1)) {
            return kErrorMoreData;
        }
        std::memcpy(name, child.name.c_str(), length + 1);
        *nameSize = static_cast<std::uint32_t>(length);
        if (classSize != nullptr) {
            *classSize = 0;
            if (className != nullptr) {
                className[0] = '\0';
            }
        }
        return kErrorSuccess;
    }

    long Query(HKey key, const std::string& valueName, std::uint32_t* type, std::uint8_t* data,
               std::uint32_t* dataSize, std::string* keyPath) {
        const Resolved base = Resolve(key);
        if (!base.node) {
            return kErrorInvalidHandle;
        }
        *keyPath = base.node->fullPath;
        if (const auto failure = TakeFailure(RegCall::Query, *keyPath, valueName)) {
            return *failure;
        }
        if (!(base.access & kKeyQueryValue)) {
            return kErrorAccessDenied;
        }
        if (base.node->deleted) {
            return kErrorKeyDeleted;
        }
        if (data != nullptr && dataSize == nullptr) {
            return kErrorInvalidParameter;
        }
        const RawValue* value = base.node->FindValue(valueName);
        if (value == nullptr) {
            return kErrorFileNotFound;
        }
        if (type != nullptr) {
            *type = value->type;
        }
        const auto size = static_cast<std::uint32_t>(value->data.size());
        if (data != nullptr) {
            if (*dataSize < size) {
                *dataSize = size;
                return kErrorMoreData;
            }
            std::copy(value->data.begin(), value->data.end(), data);
        }
        if (dataSize != nullptr) {
            *dataSize = size;
        }
        return kErrorSuccess;
    }

    long Set(HKey key, const std::string& valueName, std::uint32_t type, const std::uint8_t* data,
             std::uint32_t dataSize, std::string* keyPath) {
        const Resolved base = Resolve(key);
        if (!base.node) {
            return kErrorInvalidHandle;
        }
        *keyPath = base.node->fullPath;
        if (const auto failure = TakeFailure(RegCall::Set, *keyPath, valueName)) {
            return *failure;
        }
        if (!(base.access & kKeySetValue)) {
            return kErrorAccessDenied;
        }
        if (base.node->deleted) {
            return kErrorKeyDeleted;
        }
        if (data == nullptr && dataSize > 0) {
            return kErrorNoAccess;
        }
        RawValue value;
        value.type = type;
        if (dataSize > 0) {
            value.data.assign(data, data + dataSize);
        }
        SetValue(*base.node, valueName, std::move(value));
        return kErrorSuccess;
    }

    long DeleteValue(HKey key, const std::string& valueName, std::string* keyPath) {
        const Resolved base = Resolve(key);
        if (!base.node) {
            return kErrorInvalidHandle;
        }
        *keyPath = base.node->fullPath;
        if (const auto failure = TakeFailure(RegCall::Delete, *keyPath, valueName)) {
            return *failure;
        }
        if (!(base.access & kKeySetValue)) {
            return kErrorAccessDenied;
        }
        if (base.node->deleted) {
            return kErrorKeyDeleted;
        }
        auto& values = base.node->values;
        const auto it = std::find_if(values.begin(), values.end(), [&](const auto& entry) {
            return NamesEqual(entry.first, valueName);
        });
        if (it == values.end()) {
            return kErrorFileNotFound;
        }
        values.erase(it);
        base.node->writeTime = Tick();
        return kErrorSuccess;
    }

    long Close(HKey key, std::string* keyPath) {
        if (IsPredefined(key)) {
            const Resolved root = Resolve(key);
            *keyPath = root.node ? root.node->fullPath : std::string();
            if (const auto failure = TakeFailure(RegCall::Close, *keyPath, "")) {
                return *failure;
            }
            return kErrorSuccess;
        }
        const auto it = handles.find(key);
        if (it == handles.end()) {
            return kErrorInvalidHandle;
        }
        *keyPath = it->second.node->fullPath;
        // A close that fails leaves the handle open.
        if (const auto failure = TakeFailure(RegCall::Close, *keyPath, "")) {
            return *failure;
        }
        handles.erase(it);
        return kErrorSuccess;
    }

    std::uint32_t Format(std::uint32_t messageId, char* buffer, std::uint32_t size,
                         std::uint32_t* lastError) {
        if (const auto failure = TakeFailure(RegCall::Format, "", "")) {
            *lastError = static_cast<std::uint32_t>(*failure);
            return 0;
        }
        if (formatFailure) {
            *lastError = *formatFailure;
            return 0;
        }
        if (buffer == nullptr) {
            *lastError = static_cast<std::uint32_t>(kErrorInvalidParameter);
            return 0;
        }
        const auto it = messages.find(messageId);
        if (it == messages.end()) {
            *lastError = kErrorMrMidNotFound;
            return 0;
        }
        const std::string& text = it->second;
        if (text.size() + 1 > size) {
            *lastError = kErrorInsufficientBuffer;
            return 0;
        }
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        *lastError = 0;
        return static_cast<std::uint32_t>(text.size());
    }

    void Record(RegCall call, std::string keyPath, std::string name, std::uint32_t access,
                std::uint32_t index, long status, bool withData = false) {
        calls.push_back(RegCallRecord{call, std::move(keyPath), std::move(name), access, index,
                                      status, withData});
    }

    void ExportKey(const Node& node, std::string* out) const {
        *out += detail::FormatKeyLine(node.fullPath);
        for (const auto& value : node.values) {
            *out += detail::FormatValueLines(value.first, value.second);
        }
        *out += "\r\n";
        for (const auto& child : node.children.All()) {
            ExportKey(*child.second, out);
        }
    }
};

SimRegistry::SimRegistry() : impl_(std::make_unique<Impl>()) {}
SimRegistry::~SimRegistry() = default;

long SimRegistry::OpenKeyEx(HKey key, const char* subKey, std::uint32_t options,
                            std::uint32_t access, HKey* result) {
    (void)options;  // REG_OPTION_OPEN_LINK: the simulation has no symbolic links
    const std::string name = subKey != nullptr ? subKey : "";
    std::string keyPath;
    const long status = impl_->Open(key, name, access, result, &keyPath);
    impl_->Record(RegCall::Open, keyPath, name, access, 0, status);
    return status;
}

long SimRegistry::CreateKeyEx(HKey key, const char* subKey, std::uint32_t options,
                              std::uint32_t access, HKey* result, std::uint32_t* disposition) {
    const std::string name = subKey != nullptr ? subKey : "";
    std::string keyPath;
    const long status = impl_->Create(key, name, options, access, result, disposition, &keyPath);
    impl_->Record(RegCall::Create, keyPath, name, access, 0, status);
    return status;
}

long SimRegistry::EnumKeyEx(HKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                            char* className, std::uint32_t* classSize, FileTime* lastWriteTime) {
    std::string keyPath;
    const long status =
        impl_->Enum(key, index, name, nameSize, className, classSize, lastWriteTime, &keyPath);
    impl_->Record(RegCall::Enum, keyPath, "", 0, index, status);
    return status;
}

long SimRegistry::QueryValueEx(HKey key, const char* valueName, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t* dataSize) {
    const std::string name = valueName != nullptr ? valueName : "";
    std::string keyPath;
    const long status = impl_->Query(key, name, type, data, dataSize, &keyPath);
    impl_->Record(RegCall::Query, keyPath, name, 0, 0, status, data != nullptr);
    return status;
}

long SimRegistry::SetValueEx(HKey key, const char* valueName, std::uint32_t type,
                             const std::uint8_t* data, std::uint32_t dataSize) {
    const std::string name = valueName != nullptr ? valueName : "";
    std::string keyPath;
    const long status = impl_->Set(key, name, type, data, dataSize, &keyPath);
    impl_->Record(RegCall::Set, keyPath, name, 0, 0, status);
    return status;
}

long SimRegistry::DeleteValue(HKey key, const char* valueName) {
    const std::string name = valueName != nullptr ? valueName : "";
    std::string keyPath;
    const long status = impl_->DeleteValue(key, name, &keyPath);
    impl_->Record(RegCall::Delete, keyPath, name, 0, 0, status);
    return status;
}

long SimRegistry::CloseKey(HKey key) {
    std::string keyPath;
    const long status = impl_->Close(key, &keyPath);
    impl_->Record(RegCall::Close, keyPath, "", 0, 0, status);
    return status;
}

std::uint32_t SimRegistry::FormatSystemMessage(std::uint32_t messageId, char* buffer,
                                               std::uint32_t size, std::uint32_t* lastError) {
    std::uint32_t error = 0;
    const std::uint32_t count = impl_->Format(messageId, buffer, size, &error);
    if (lastError != nullptr) {
        *lastError = error;
    }
    impl_->Record(RegCall::Format, "", "", 0, messageId, static_cast<long>(count));
    return count;
}

bool SimRegistry::ImportRegText(const std::string& text, std::string* error) {
    std::vector<detail::RegOp> ops;
    std::string message;
    if (!detail::ParseRegText(text, &ops, &message)) {
        if (error != nullptr) {
            *error = message;
        }
        return false;
    }
    // Parsed in full before anything changes: a file with an error changes nothing.
    for (detail::RegOp& op : ops) {
        switch (op.kind) {
            case detail::RegOp::Kind::AddKey:
                impl_->Make(op.root, op.path);
                break;
            case detail::RegOp::Kind::DeleteKey:
                impl_->Delete(op.root, op.path);
                break;
            case detail::RegOp::Kind::SetValue:
                impl_->SetValue(*impl_->Make(op.root, op.path), op.name, std::move(op.value));
                break;
            case detail::RegOp::Kind::DeleteValue:
                if (const auto node = impl_->Find(op.root, op.path)) {
                    auto& values = node->values;
                    values.erase(std::remove_if(values.begin(), values.end(),
                                                [&op](const auto& entry) {
                                                    return NamesEqual(entry.first, op.name);
                                                }),
                                 values.end());
                }
                break;
        }
    }
    return true;
}

bool SimRegistry::ImportRegFile(const std::string& path, std::string* error) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    if (!file || !(content << file.rdbuf())) {
        if (error != nullptr) {
            *error = "cannot read " + path;
        }
        return false;
    }
    return ImportRegText(content.str(), error);
}

std::string SimRegistry::ExportRegText(HKey root, const std::string& path) const {
    std::string out = std::string(detail::kRegFileHeader5) + "\r\n\r\n";
    if (const auto node = impl_->Find(root, path)) {
        impl_->ExportKey(*node, &out);
    }
    return out;
}

void SimRegistry::PutKey(HKey root, const std::string& path) {
    impl_->Make(root, path);
}

void SimRegistry::PutValue(HKey root, const std::string& path, const std::string& name,
                           RawValue value) {
    if (const auto node = impl_->Make(root, path)) {
        impl_->SetValue(*node, name, std::move(value));
    }
}

void SimRegistry::DeleteKey(HKey root, const std::string& path) {
    impl_->Delete(root, path);
}

void SimRegistry::Restart() {
    for (const auto& root : impl_->roots) {
        impl_->DropVolatile(*root.second);
    }
}

bool SimRegistry::HasKey(HKey root, const std::string& path) const {
    return impl_->Find(root, path) != nullptr;
}

std::optional<RawValue> SimRegistry::GetValue(HKey root, const std::string& path,
                                              const std::string& name) const {
    const auto node = impl_->Find(root, path);
    const RawValue* value = node ? node->FindValue(name) : nullptr;
    return value != nullptr ? std::optional<RawValue>(*value) : std::nullopt;
}

std::vector<std::string> SimRegistry::ValueNames(HKey root, const std::string& path) const {
    std::vector<std::string> names;
    if (const auto node = impl_->Find(root, path)) {
        for (const auto& value : node->values) {
            names.push_back(value.first);
        }
    }
    return names;
}

std::vector<std::string> SimRegistry::SubKeyNames(HKey root, const std::string& path) const {
    std::vector<std::string> names;
    if (const auto node = impl_->Find(root, path)) {
        for (const auto& child : node->children.All()) {
            names.push_back(child.second->name);
        }
    }
    return names;
}

void SimRegistry::CopyKeysFrom(const SimRegistry& other) {
    const std::function<std::shared_ptr<Node>(const Node&)> clone = [&](const Node& from) {
        auto node = std::make_shared<Node>();
        node->name = from.name;
        node->fullPath = from.fullPath;
        node->values = from.values;
        node->isVolatile = from.isVolatile;
        node->writeTime = from.writeTime;
        for (const auto& child : from.children.All()) {
            node->children.Insert(child.first, clone(*child.second));
        }
        return node;
    };
    for (const auto& root : other.impl_->roots) {
        impl_->roots[root.first] = clone(*root.second);
    }
    impl_->denied = other.impl_->denied;
}

std::vector<SimRegistry::KeyDump> SimRegistry::Dump(HKey root) const {
    std::vector<KeyDump> keys;
    const std::function<void(const Node&, const std::string&)> walk = [&](const Node& node,
                                                                          const std::string& path) {
        keys.push_back(KeyDump{path, node.values});
        for (const auto& child : node.children.All()) {
            walk(*child.second,
                 path.empty() ? child.second->name : path + "\\" + child.second->name);
        }
    };
    if (const auto node = impl_->Find(root, "")) {
        walk(*node, "");
    }
    return keys;
}

void SimRegistry::DenyAccess(HKey root, const std::string& path, std::uint32_t deniedAccess) {
    std::string fullPath = RootName(root);
    for (const std::string& part : SplitKeyPath(path)) {
        fullPath += "\\" + part;
    }
    impl_->denied[FoldName(fullPath)] = deniedAccess;
}

void SimRegistry::InjectFailure(RegFailure failure) {
    impl_->failures.push_back(std::move(failure));
}

void SimRegistry::FailCallNumber(std::size_t callNumber, long status) {
    impl_->failAtCall = std::make_pair(callNumber, status);
}

void SimRegistry::SetMessageText(std::uint32_t code, std::string text) {
    // An empty text takes the message away, as for a code the system has no text for.
    if (text.empty()) {
        impl_->messages.erase(code);
    } else {
        impl_->messages[code] = std::move(text);
    }
}

void SimRegistry::SetFormatFailure(std::optional<std::uint32_t> lastError) {
    impl_->formatFailure = lastError;
}

const std::vector<RegCallRecord>& SimRegistry::Calls() const {
    return impl_->calls;
}

void SimRegistry::ClearCalls() {
    impl_->calls.clear();
}

std::size_t SimRegistry::OpenHandleCount() const {
    return impl_->handles.size();
}

RawValue StringValue(const std::string& text) {
    RawValue value;
    value.type = kRegSz;
    value.data.assign(text.begin(), text.end());
    value.data.push_back(0);
    return value;
}

RawValue DwordValue(std::uint32_t dword) {
    RawValue value;
    value.type = kRegDword;
    for (int shift = 0; shift < 32; shift += 8) {
        value.data.push_back(static_cast<std::uint8_t>((dword >> shift) & 0xFF));
    }
    return value;
}

RawValue MultiStringValue(const std::vector<std::string>& parts) {
    RawValue value;
    value.type = kRegMultiSz;
    for (const std::string& part : parts) {
        value.data.insert(value.data.end(), part.begin(), part.end());
        value.data.push_back(0);
    }
    value.data.push_back(0);
    return value;
}

std::string RootName(HKey root) {
    if (!IsPredefined(root)) {
        return {};
    }
    switch (static_cast<std::uint32_t>(root & 0xFFFFFFFFu)) {
        case 0x80000000u:
            return "HKEY_CLASSES_ROOT";
        case 0x80000001u:
            return "HKEY_CURRENT_USER";
        case 0x80000002u:
            return "HKEY_LOCAL_MACHINE";
        case 0x80000003u:
            return "HKEY_USERS";
        default:
            return {};
    }
}

}  // namespace quorvel::platform::sim

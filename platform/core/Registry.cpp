#include "platform/core/Registry.h"

#include "platform/core/RegistryText.h"
#include "platform/core/RuntimeDir.h"
#include "platform/core/SafeFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <unistd.h>

namespace ql {

namespace {

constexpr std::uint64_t kMaxStoreBytes = 16u << 20;

// An exclusive or shared flock on the lock file beside the store, held for one operation.
class StoreLock {
public:
    StoreLock(const std::string& lockFile, bool exclusive)
    {
        fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd_ < 0)
            return;
        int rc;
        do
            rc = ::flock(fd_, exclusive ? LOCK_EX : LOCK_SH);
        while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~StoreLock()
    {
        if (fd_ >= 0)
            ::close(fd_);  // closing releases the lock
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace

struct Registry::Impl {
    std::string storeFile;
    mutable std::mutex mutex;  // one operation at a time per object; flock orders processes

    // Reads the store under the lock. `readable` is false when a store exists but cannot be read.
    RegistryTree load(bool& readable) const
    {
        readable = true;
        if (!FileExists(storeFile)) {
            if (::access(storeFile.c_str(), F_OK) == 0)
                readable = false;  // something that is not a file is in the way
            return {};
        }
        auto bytes = ReadFileBytes(storeFile, kMaxStoreBytes);
        if (!bytes) {
            readable = false;
            return {};
        }
        return ParseRegistryText(*bytes);
    }

    template <typename F>
    auto read(F&& f) const
    {
        std::lock_guard<std::mutex> guard(mutex);
        RegistryTree tree;
        if (!storeFile.empty()) {
            StoreLock lock(storeFile + ".lock", false);
            bool readable;
            if (lock.held())
                tree = load(readable);
        }
        return f(tree);
    }

    // Lock, reread, change, save: changes of the other process are never lost.
    template <typename F>
    bool change(F&& f)
    {
        std::lock_guard<std::mutex> guard(mutex);
        if (storeFile.empty())
            return false;
        StoreLock lock(storeFile + ".lock", true);
        if (!lock.held())
            return false;
        bool readable;
        RegistryTree tree = load(readable);
        if (!readable)
            return false;
        if (!f(tree))
            return false;
        // Writes of a process killed meanwhile leave their temporaries in the store's folder.
        RemoveStaleTemporaries(storeFile.substr(0, storeFile.rfind('/') + 1));
        return WriteFileAtomic(storeFile, FormatRegistryText(tree));
    }

    // A copy of value `name` of `key`; nothing when the path is malformed or there is no such
    // value.
    std::optional<RegistryValue> value(RegRoot root, const std::string& key, const std::string& name) const
    {
        auto path = NormaliseRegistryPath(key);
        if (!path)
            return std::nullopt;
        return read([&](RegistryTree& t) -> std::optional<RegistryValue> {
            const RegistryKey* k = t.Find(root, *path);
            const RegistryValue* v = k ? k->Get(name) : nullptr;
            if (!v)
                return std::nullopt;
            return *v;
        });
    }

    // The data of value `name` when it is of type `type`.
    std::optional<std::string> data(RegRoot root, const std::string& key, const std::string& name, RegType type) const
    {
        auto v = value(root, key, name);
        if (!v || v->type != type)
            return std::nullopt;
        return std::move(v->data);
    }

    bool setValue(RegRoot root, const std::string& key, const std::string& name, RegType type, std::string data)
    {
        auto path = NormaliseRegistryPath(key);
        if (!path)
            return false;
        return change([&](RegistryTree& t) {
            t.CreateKey(root, *path).Set(name, type, std::move(data));
            return true;
        });
    }
};

Registry::Registry(std::string storeFile) : d_(std::make_unique<Impl>()) { d_->storeFile = std::move(storeFile); }

Registry::~Registry() = default;

std::string Registry::DefaultStoreFile()
{
    std::string dir = ConfigDir();
    return dir.empty() ? std::string() : dir + "registry";
}

bool Registry::CreateKey(RegRoot root, const std::string& key)
{
    auto path = NormaliseRegistryPath(key);
    if (!path)
        return false;
    return d_->change([&](RegistryTree& t) {
        t.CreateKey(root, *path);
        return true;
    });
}

bool Registry::DeleteKey(RegRoot root, const std::string& key)
{
    auto path = NormaliseRegistryPath(key);
    if (!path || path->empty())
        return false;
    return d_->change([&](RegistryTree& t) { return t.DeleteKey(root, *path); });
}

bool Registry::WriteString(RegRoot root, const std::string& key, const std::string& name, const std::string& text)
{
    return d_->setValue(root, key, name, RegType::String, text);
}

bool Registry::WriteDWord(RegRoot root, const std::string& key, const std::string& name, std::uint32_t value)
{
    return d_->setValue(root, key, name, RegType::DWord, DWordBytes(value));
}

bool Registry::WriteBinary(RegRoot root, const std::string& key, const std::string& name, const std::string& bytes)
{
    return d_->setValue(root, key, name, RegType::Binary, bytes);
}

bool Registry::DeleteValue(RegRoot root, const std::string& key, const std::string& name)
{
    auto path = NormaliseRegistryPath(key);
    if (!path)
        return false;
    return d_->change([&](RegistryTree& t) {
        RegistryKey* k = t.Find(root, *path);
        return k && k->Erase(name);
    });
}

bool Registry::KeyExists(RegRoot root, const std::string& key) const
{
    auto path = NormaliseRegistryPath(key);
    return path && d_->read([&](RegistryTree& t) { return t.Find(root, *path) != nullptr; });
}

std::optional<RegType> Registry::ValueType(RegRoot root, const std::string& key, const std::string& name) const
{
    auto v = d_->value(root, key, name);
    if (!v)
        return std::nullopt;
    return v->type;
}

bool Registry::ValueExists(RegRoot root, const std::string& key, const std::string& name) const
{
    return ValueType(root, key, name).has_value();
}

std::optional<std::string> Registry::ReadString(RegRoot root, const std::string& key, const std::string& name) const
{
    return d_->data(root, key, name, RegType::String);
}

std::optional<std::uint32_t> Registry::ReadDWord(RegRoot root, const std::string& key, const std::string& name) const
{
    auto bytes = d_->data(root, key, name, RegType::DWord);
    if (!bytes)
        return std::nullopt;
    return DWordOf(*bytes);
}

std::optional<std::string> Registry::ReadBinary(RegRoot root, const std::string& key, const std::string& name) const
{
    return d_->data(root, key, name, RegType::Binary);
}

std::vector<std::string> Registry::SubKeyNames(RegRoot root, const std::string& key) const
{
    auto path = NormaliseRegistryPath(key);
    if (!path)
        return {};
    return d_->read([&](RegistryTree& t) { return t.SubKeyNames(root, *path); });
}

std::vector<std::string> Registry::ValueNames(RegRoot root, const std::string& key) const
{
    auto path = NormaliseRegistryPath(key);
    if (!path)
        return {};
    return d_->read([&](RegistryTree& t) {
        std::vector<std::string> names;
        if (const RegistryKey* k = t.Find(root, *path))
            for (const auto& v : k->values)
                names.push_back(v.name);
        return names;
    });
}

}  // namespace ql

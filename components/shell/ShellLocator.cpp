#include "components/shell/ShellLocator.h"

namespace ql::shellctl {

const ItemIdList* TSvShellLocator::GetIdList()
{
    if (kind_ == 1 && !held_)
        shell::SHGetSpecialFolderLocation(csidl_, &held_);
    return held_.get();
}

void TSvShellLocator::SetIdList(const ItemIdList* list)
{
    bool wasSpecial = kind_ == 1;
    kind_ = 0;
    bool changed;
    if (held_) {
        if (wasSpecial) {
            changed = true;
        } else {
            int c = CompareIdLists(held_.get(), list);
            changed = c != 0 && c != kCompareFailed;
        }
    } else {
        changed = wasSpecial || list != nullptr;
    }
    held_.reset();
    if (list && IdListSize(list) > 2)
        held_ = CopyIdList(list);
    if (changed)
        Changed();
}

void TSvShellLocator::SetPath(const std::string& path)
{
    IdListPtr list;
    if (com::SUCCEEDED(PathToIdList(path, list)) && list)
        SetIdList(list.get());
    else
        SetIdList(nullptr);
}

std::string TSvShellLocator::GetPath() { return IdListToPath(GetIdList()); }

bool TSvShellLocator::IsSameFolder(const TSvShellLocator& other) const
{
    if (kind_ != other.kind_)
        return false;
    if (this == &other)
        return true;
    if (kind_ == 0)
        return CompareIdLists(held_.get(), other.held_.get()) == 0;
    return csidl_ == other.csidl_;
}

void TSvShellLocator::Assign(const TSvShellLocator* source)
{
    if (!source) {
        if (held_) {
            held_.reset();
            kind_ = 0;
            Changed();
        }
        return;
    }
    if (IsSameFolder(*source))
        return;
    held_.reset();
    kind_ = source->kind_;
    if (kind_ == 0)
        held_ = CopyIdList(source->held_.get());
    else
        csidl_ = source->csidl_;
    Changed();
}

std::vector<std::uint8_t> TSvShellLocator::WritePidl() const
{
    std::vector<std::uint8_t> out{kind_};
    if (kind_ != 0) {
        out.push_back(csidl_);
        return out;
    }
    auto n = static_cast<std::uint32_t>(held_ ? held_->Size() : 0);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(n >> (8 * i)));
    if (held_)
        out.insert(out.end(), held_->Bytes().begin(), held_->Bytes().end());
    return out;
}

bool TSvShellLocator::ReadPidl(const std::vector<std::uint8_t>& block)
{
    // Whatever happens below, nothing partly read is kept.
    held_.reset();
    kind_ = 0;
    if (block.empty())
        return false;
    if (block[0] != 0) {
        if (block.size() != 2)
            return false;
        kind_ = 1;
        csidl_ = block[1];
        return true;
    }
    if (block.size() < 5)
        return false;
    std::uint32_t n = block[1] | (block[2] << 8) | (block[3] << 16) | (static_cast<std::uint32_t>(block[4]) << 24);
    if (n != block.size() - 5)
        return false;
    if (n == 0) {
        kind_ = 1;
        csidl_ = static_cast<std::uint8_t>(shell::CSIDL_DESKTOP);
        return true;
    }
    auto list = ItemIdList::FromBytes(block.data() + 5, n);
    if (!list || list->Size() != n)
        return false;
    held_ = std::make_unique<ItemIdList>(std::move(*list));
    return true;
}

}  // namespace ql::shellctl

#include "app/editor/ExportCommands.h"

#include "app/editor/session/PageSession.h"
#include "foundation/VekIEClass.h"

namespace ql {

std::string ReplaceFileQuestion(const std::string& file)
{
    return file + " already exists.\nDo you want to replace it?";
}

std::string IndexWriteFailedMessage(const std::string& file) { return "Cannot create file \"" + file + "\"."; }

std::string CopiesFailedMessage(const std::vector<std::string>& files)
{
    if (files.empty())
        return {};
    std::string text = "Cannot create file \"" + files.front() + "\"";
    if (files.size() > 1)
        text += " nor " + std::to_string(files.size() - 1) + " other" + (files.size() > 2 ? "s" : "");
    return text + ".";
}

ExportCommands::ExportCommands(PageSession& session, EditorWindow& window, EditorDialogs& dialogs,
                               ExportDialogs& choosers, Launcher& launcher, WindowActivator& front,
                               const IniFile* imagesIni)
    : session_(session),
      window_(window),
      dialogs_(dialogs),
      choosers_(choosers),
      launcher_(launcher),
      front_(front),
      imagesIni_(imagesIni)
{
}

ExportPaths ExportCommands::Paths() const
{
    const TSettings& s = session_.AppSettings();
    return ExportPaths{s.CollectionDir, s.ImagesDir, imagesIni_};
}

std::string ExportCommands::SaveAs1Click()
{
    const TreeNode* node = session_.EditorTree().Selected();
    if (!node)
        return {};
    const std::optional<std::string> chosen = choosers_.SaveFile(kSaveAsFilter, SaveAsProposal(*node));
    if (!chosen || chosen->empty())
        return {};
    const SaveAsTarget target = SaveAsTargetFor(*chosen);
    if (target.baseName.empty())
        return {};
    if (target.replacesOther && !dialogs_.AskYesNo(kReplaceFileCaption, ReplaceFileQuestion(target.written)))
        return {};
    std::vector<std::string> failed;
    std::string written = CopyPageTo(Paths(), target.folder, *node, target.baseName, &failed);
    if (!failed.empty())
        dialogs_.ShowMessage(CopiesFailedMessage(failed));
    return written;
}

std::string ExportCommands::CreateIndexPage(bool wholeTree, bool openAfter)
{
    if (!session_.SaveCurrentPage(""))
        return {};
    const CollectionTree& tree = session_.EditorTree();
    const TreeNode* node = tree.Selected();
    std::string folder;
    if (!wholeTree) {
        if (!node)
            return {};
        const std::optional<std::string> chosen = choosers_.SelectFolder(kSelectDirectoryCaption);
        if (!chosen || chosen->empty())
            return {};
        folder = *chosen;
    }

    std::string file;
    bool written = false;
    std::vector<std::string> failedCopies;
    {
        BusyCursor busy(window_);
        const ExportPaths paths = Paths();
        IndexPageWriter writer(paths, wholeTree, folder);
        writer.onStatus = [this](const std::string& title) { window_.SetStatusText(title); };
        if (wholeTree)
            writer.AddTree(tree);
        else
            writer.AddIndexEntries(*node);
        file = wholeTree ? WholeTreeIndexFile(paths.collectionDir, session_.GetClock().ShortDate())
                         : SubtreeIndexFile(folder, node->Text());
        written = WriteIndexPage(file, writer.Finish());
        failedCopies = writer.FailedCopies();
    }
    if (!written) {
        dialogs_.ShowMessage(IndexWriteFailedMessage(file));
        return {};
    }
    if (!failedCopies.empty())
        dialogs_.ShowMessage(CopiesFailedMessage(failedCopies));  // the index links them all the same
    if (openAfter)
        OpenUrl(file, "", launcher_, front_);
    return file;
}

}  // namespace ql

#include "package/cabinet.h"

#include <filesystem>
#include <system_error>

#include "formats/config.h"
#include "formats/homelayout.h"
#include "formats/names.h"
#include "model/error.h"
#include "platform/files.h"
#include "platform/folderlock.h"
#include "platform/process.h"

namespace tessaro::package {

namespace {

namespace fs = std::filesystem;

const char* const kInfName = formats::kWorkInf;
const char* const kCabName = formats::kWorkCab;
const char* const kBuilderName = "Cabwizsp";
const char* const kLoaderName = "CabLoader";
// Characters with a meaning in a setup INF line: quotes, comments, string
// keys, list separators and section brackets.
const char* const kInfUnsafe = "\";%,[]";

std::string HelperPath(const model::Document& doc, const char* name) {
    return (doc.HelperDir.empty() ? doc.AppDir : doc.HelperDir) + name;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec1, ec2;
    fs::path pa = fs::weakly_canonical(fs::path(a), ec1);
    fs::path pb = fs::weakly_canonical(fs::path(b), ec2);
    if (ec1 || ec2)
        return fs::absolute(a, ec1).lexically_normal() == fs::absolute(b, ec2).lexically_normal();
    return pa == pb;
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

std::string WithOutput(std::string message, const std::string& output) {
    std::string printed = Trimmed(output);
    if (!printed.empty())
        message += "\n" + printed;
    return message;
}

} // namespace

void CheckCabinetNames(const model::Document& doc, const std::string& base) {
    auto check = [](const std::string& name, const std::string& what) {
        formats::CheckPictureName(name, what);
        const std::size_t at = name.find_first_of(kInfUnsafe);
        if (at != std::string::npos)
            throw Error("The " + what + " \"" + name + "\" holds the character '" +
                        std::string(1, name[at]) +
                        "', which the cabinet's setup file cannot carry; rename it first.");
    };
    check(doc.BGI, "background picture");
    check(base + formats::kLayoutSuffix, "cabinet's home layout");
    const int count = model::CountEntries(doc);
    for (int i = 0; i < count; ++i)
        if (!doc.Plugins[i].BgImage.empty())
            check(doc.Plugins[i].BgImage,
                  "background picture of entry " + std::to_string(i + 1) + " (" + doc.Plugins[i].Name + ")");
}

std::string BuildInf(const model::Document& doc, const std::string& base) {
    const int count = model::CountEntries(doc);
    const std::string& bg = doc.BGI;
    const std::string layout = base + ".home.xml";
    std::string t;
    auto line = [&t](const std::string& s) {
        t += s;
        t += "\r\n";
    };
    line("");
    line("[Version]");
    line("Signature  = \"$Windows NT$\"");
    line(std::string("Provider  = \"") + formats::kAuthor + "\"");
    line("CESignature = \"$Windows CE$\"");
    line("[CEStrings]");
    line("AppName   = \"" + base + "\"");
    line("[CEDevice.ARM720]");
    line("ProcessorType = 0");
    line("[SourceDisksNames]");
    line("1 = ,\"Common files\",,.");
    line("[SourceDisksFiles]");
    line(bg + " = 1");
    line(layout + " = 1");
    for (int i = 0; i < count; ++i)
        if (!doc.Plugins[i].BgImage.empty())
            line(doc.Plugins[i].BgImage + " = 1");
    line("[DefaultInstall]");
    line("CopyFiles  = CopyToHomeDir");
    line("AddReg      = RegData");
    line("[DestinationDirs]");
    line("CopyToHomeDir = 0,%CE19%\\Home");
    line("[CopyToHomeDir]");
    line("\"" + bg + "\"," + bg);
    line("\"" + layout + "\"," + layout);
    for (int i = 0; i < count; ++i) {
        const std::string& img = doc.Plugins[i].BgImage;
        if (!img.empty())
            line("\"" + img + "\"," + img);
    }
    line("[RegData]");
    line("HKCU,ControlPanel\\Home,Scheme,string,\"\\IPSM\\Application Data\\Home\\" + layout +
         "\"");
    return t;
}

void BuildCabinet(model::Document& doc, const std::string& target,
                  const std::string& dialogFileName, const std::function<void()>& pump) {
    const platform::ProgramFolderLock lock(doc.AppDir);
    const std::string& dir = doc.AppDir;
    const std::string base = platform::WithoutExtension(platform::FileNamePart(target));
    const std::string layoutName = base + ".home.xml";
    const std::string cabPath = dir + kCabName;
    const std::string infPath = dir + kInfName;

    CheckCabinetNames(doc, base);
    formats::WriteHomeLayout(doc, dialogFileName);
    const std::string temp = dir + formats::kWorkLayout;
    if (!platform::CopyFile(temp, dir + layoutName))
        throw Error("Cannot write \"" + dir + layoutName + "\" for the cabinet.");
    platform::DeleteFile(temp);

    // A target that is the program folder's own "CF.cab" is kept aside during
    // the build, so that a failed build leaves it as it was.
    const bool targetIsWorkCab = SameFile(target, cabPath);
    const std::string keptCab = cabPath + ".kept";
    if (targetIsWorkCab && platform::FileExists(cabPath)) {
        std::error_code ec;
        fs::rename(cabPath, keptCab, ec);
        if (ec) {
            platform::DeleteFile(dir + layoutName);
            throw Error("Cannot move \"" + cabPath + "\" aside: " + ec.message());
        }
    }
    // A target that is the program folder's "CF.inf" holds the new cabinet
    // once it is built and must not be removed with the work files.
    const bool targetIsInf = SameFile(target, infPath);
    auto cleanUp = [&](bool built) {
        if (!(built && targetIsInf)) platform::DeleteFile(infPath);
        platform::DeleteFile(dir + layoutName);
        if (targetIsWorkCab) {
            if (built) {
                platform::DeleteFile(keptCab);
            } else if (platform::FileExists(keptCab)) {
                std::error_code ec;
                fs::rename(keptCab, cabPath, ec);
            }
        }
    };

    // An old cabinet must never be taken for the one this build makes.
    platform::DeleteFile(cabPath);
    if (platform::FileExists(cabPath)) {
        cleanUp(false);
        throw Error("Cannot remove the old \"" + cabPath + "\".");
    }

    try {
        platform::WriteFile(infPath, BuildInf(doc, base));
    } catch (...) {
        cleanUp(false);
        throw;
    }

    const std::string builder = HelperPath(doc, kBuilderName);
    platform::ProcessResult run =
        platform::RunProgram(builder, {kInfName}, dir, kBuilderTimeoutMs, pump);

    std::string failure;
    if (!run.Started)
        failure = "Cannot start the cabinet builder \"" + builder + "\": " + run.Error;
    else if (!run.Finished)
        failure =
            WithOutput("The cabinet builder did not finish within " +
                           std::to_string(kBuilderTimeoutMs / 1000) + " seconds and was stopped.",
                       run.Output);
    else if (run.ExitCode != 0)
        failure = WithOutput("The cabinet builder failed (exit code " +
                                 std::to_string(run.ExitCode) + "):",
                             run.Output);
    else if (!platform::FileExists(cabPath))
        failure = WithOutput("The cabinet builder wrote no \"" + std::string(kCabName) + "\".",
                             run.Output);

    if (!failure.empty()) {
        platform::DeleteFile(cabPath);
        cleanUp(false);
        throw Error(failure);
    }

    if (targetIsWorkCab) {
        cleanUp(true);
        return;
    }
    try {
        platform::WriteFileAtomic(target, platform::ReadFile(cabPath));
    } catch (...) {
        platform::DeleteFile(cabPath);
        cleanUp(false);
        throw;
    }
    platform::DeleteFile(cabPath);
    cleanUp(true);
}

void ExportHomeLayout(model::Document& doc, const std::string& target) {
    const platform::ProgramFolderLock lock(doc.AppDir);
    formats::WriteHomeLayout(doc, target);
    platform::WriteFileAtomic(target, platform::ReadFile(doc.AppDir + formats::kWorkLayout));
}

LoaderRun RunDeviceLoader(const model::Document& doc, const std::string& cabPath, bool wait) {
    const std::string loader = HelperPath(doc, kLoaderName);
    platform::ProcessResult run =
        platform::RunProgram(loader, {cabPath}, "", wait ? kLoaderTimeoutMs : -1);
    if (!run.Started)
        throw Error("Cannot start the device loader \"" + loader + "\": " + run.Error);
    LoaderRun result;
    if (!wait)
        return result;
    if (!run.Finished)
        throw Error(WithOutput("The device loader did not finish within " +
                                   std::to_string(kLoaderTimeoutMs / 1000) +
                                   " seconds and was stopped.",
                               run.Output));
    result.Waited = true;
    result.ExitCode = run.ExitCode;
    result.Output = run.Output;
    if (run.ExitCode != 0)
        throw Error(WithOutput("The device loader failed to install \"" + cabPath +
                                   "\" (exit code " + std::to_string(run.ExitCode) + "):",
                               run.Output));
    return result;
}

void LoadThemeToDevice(model::Document& doc, const std::string& dialogFileName,
                       const std::function<void()>& pump) {
    const platform::ProgramFolderLock lock(doc.AppDir);
    const std::string cab = doc.AppDir + formats::kThemeCab;
    BuildCabinet(doc, cab, dialogFileName, pump);
    RunDeviceLoader(doc, cab, false);
}

LoaderRun InstallPluginCabinet(const model::Document& doc, const std::string& name, bool wait) {
    const std::string cab = doc.AppDir + name;
    if (!platform::FileExists(cab))
        throw Error("The plugin cabinet \"" + name + "\" is missing from the program folder.");
    return RunDeviceLoader(doc, cab, wait);
}

} // namespace tessaro::package

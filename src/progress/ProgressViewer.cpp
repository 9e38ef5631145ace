#include "progress/ProgressViewer.h"

#include <algorithm>

#include "progress/ViewerDrawing.h"
#include "progress/ViewerLifetime.h"
#include "progress/ViewerRegistry.h"
#include "progress/ViewerWindow.h"

std::string AppName = "Ваше приложение";
bool ShowPercentText = true;
int RefreshInterval = 50;
bool ShowElapsedTime = true;
TColor BarColor = kDefaultBarColor;
std::string CancelCaption = "Отмена (Esc)";
std::string AbortedMessage = "Прервано пользователем!";
std::string WaitLine1 = "Выполняется длительная операция. Она может";
std::string WaitLine2 = "продлиться несколько минут. Пожалуйста, подождите!";
std::string ElapsedFormat = "Общее время: %s";
std::string DefaultFontName = kUiFontName;
TColor DefaultFontColor = clBlack;
int DefaultFontSize = kUiFontSize;
TFontStyles DefaultFontStyle = 0;

std::atomic<bool> ClassRegistered{false};

namespace {

// The caption's line, between the headline (-1) and the spacer (1000).
constexpr std::int32_t kCaptionLine = 0;

const char* const kClassNotRegistered =
    "Класс окна визуализации \"ProgressViewerFormClass\" не зарегистрирован!";
const char* const kChangeStringParamsPrefix = "TProgressViewer.ChangeStringParams -> ";
const char* const kCountMismatch =
    "Количество параметров и соответствующих им значений не совпадают!";

// A style set with all four bits stands for "not given".
bool StyleGiven(TFontStyles style) {
    return (style & fsAllStyles) != fsAllStyles;
}

template <class TLines>
auto FindLine(TLines& lines, std::int32_t key) {
    return std::find_if(lines.begin(), lines.end(),
                        [key](const TViewerString& s) { return s.Key == key; });
}

std::string LineNotFound(std::int32_t key) {
    return "Строка с номером " + std::to_string(key) + " не найдена!";
}

int AsInteger(const TStringParamValue& value) {
    if (const int* integer = std::get_if<int>(&value)) {
        return *integer;
    }
    throw std::runtime_error("Значение не является целым числом");
}

bool AsBoolean(const TStringParamValue& value) {
    if (const bool* boolean = std::get_if<bool>(&value)) {
        return *boolean;
    }
    throw std::runtime_error("Значение не является логическим");
}

const std::string& AsText(const TStringParamValue& value) {
    if (const std::string* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    throw std::runtime_error("Значение не является строкой");
}

}  // namespace

TViewerEvent& TViewerEvent::operator=(TMethod method) {
    std::lock_guard<std::mutex> guard(Lock);
    Method = std::move(method);
    return *this;
}

void TViewerEvent::Call(TProgressViewer* viewer) const {
    TMethod method;
    {
        std::lock_guard<std::mutex> guard(Lock);
        method = Method;
    }
    if (!method) {
        return;
    }
    try {
        method(viewer);
    } catch (...) {
        // The owner's failure must not end the viewer thread.
    }
}

void RegisterViewerClass() {
    ClassRegistered = RegisterPlatformViewerClass();
}

void ProgressViewerStartup() {
    CreateViewerRegistry();
    RegisterViewerClass();
}

void ProgressViewerShutdown() {
    // No new viewer from here on; the running ones end and are waited for before the registry
    // they use goes away.
    ClassRegistered = false;
    ForEachLiveViewer([](TProgressViewer* viewer) { viewer->SignalTerminate(); });
    WaitForViewerThreads();
    FreeViewerRegistry();
}

TProgressViewer::TProgressViewer(const std::string& caption, bool percentMode, bool showCancel,
                                 std::function<void(TProgressViewer*)> onExecute)
    : PercentMode(percentMode),
      RequestedCancelVisible(GeometryLock, showCancel),
      Settings{::ShowPercentText, ::RefreshInterval, ::ShowElapsedTime,
               ::BarColor,        ::CancelCaption,   ::ElapsedFormat},
      Painter(CreateViewerPainter()),
      CancelVisible(showCancel) {
    if (!ClassRegistered) {
        throw EProgressException(kClassNotRegistered);
    }
    SetCaption(caption.empty() ? std::string(" ") : caption);
    PutString(-1, AppName, taCenter, false, clBlack, fsBold, 12, DefaultFontName);
    PutString(1000, " ", taCenter, false, clBlack, fsBold, 8, std::string());
    PutString(1001, WaitLine1, taCenter, false, clBlack, fsBold, 10, DefaultFontName);
    PutString(1002, WaitLine2, taCenter, false, clBlack, fsBold, 10, DefaultFontName);
    if (onExecute) {
        AdditionalThread = std::make_unique<TAdditionalThread>(this, std::move(onExecute));
    }
    StartViewerThread(this, [this] { ThreadMain(); });
}

void TProgressViewer::PutString(std::int32_t key, const std::string& text, TAlignment alignment,
                                bool wordWrap, TColor color, TFontStyles fontStyle,
                                std::int32_t fontSize, const std::string& fontName) {
    std::lock_guard<std::recursive_mutex> guard(StringsLock);
    auto line = FindLine(Strings, key);
    if (line == Strings.end()) {
        line = Strings.insert(Strings.end(), TViewerString());
    }
    if (color == clDefault) {
        color = DefFontColor != clDefault ? DefFontColor : DefaultFontColor;
    }
    if (fontSize == kFontSizeNotGiven) {
        fontSize = DefFontSize != kFontSizeNotGiven ? DefFontSize : DefaultFontSize;
    }
    if (!StyleGiven(fontStyle)) {
        fontStyle = StyleGiven(DefFontStyle) ? DefFontStyle : DefaultFontStyle;
    }
    line->Key = key;
    line->Text = text;
    line->Alignment = alignment;
    line->WordWrap = wordWrap;
    line->FontName = !fontName.empty()      ? fontName
                     : !DefFontName.empty() ? DefFontName
                                            : DefaultFontName;
    line->FontSize = fontSize;
    line->FontStyle = fontStyle;
    line->Color = color;
    // Keys are unique, so any sort gives the one order.
    std::stable_sort(Strings.begin(), Strings.end(),
                     [](const TViewerString& a, const TViewerString& b) { return a.Key < b.Key; });
    LayoutValid = false;
}

void TProgressViewer::ChangeStringParams(std::int32_t key, const std::vector<TStringParam>& params,
                                         const std::vector<TStringParamValue>& values) {
    std::lock_guard<std::recursive_mutex> guard(StringsLock);
    try {
        auto line = FindLine(Strings, key);
        if (line == Strings.end()) {
            throw std::runtime_error(LineNotFound(key));
        }
        if (params.size() != values.size()) {
            throw std::runtime_error(kCountMismatch);
        }
        TViewerString changed = *line;
        for (std::size_t i = 0; i < params.size(); ++i) {
            const TStringParamValue& value = values[i];
            switch (params[i]) {
                case spText:
                    changed.Text = AsText(value);
                    break;
                case spAlignment:
                    changed.Alignment = static_cast<TAlignment>(AsInteger(value) & 0xFF);
                    break;
                case spWordWrap:
                    changed.WordWrap = AsBoolean(value);
                    break;
                case spFontName:
                    changed.FontName = AsText(value);
                    break;
                case spFontSize:
                    changed.FontSize = AsInteger(value);
                    break;
                case spFontStyle:
                    changed.FontStyle = static_cast<TFontStyles>(AsInteger(value) & 0xFF);
                    break;
                case spColor:
                    changed.Color = static_cast<TColor>(AsInteger(value));
                    break;
                default:
                    break;  // unknown codes are skipped
            }
        }
        *line = std::move(changed);
        LayoutValid = false;
    } catch (const std::exception& failure) {
        throw EProgressException(kChangeStringParamsPrefix + std::string(failure.what()));
    }
}

void TProgressViewer::SetCaption(const std::string& caption) {
    std::lock_guard<std::recursive_mutex> guard(StringsLock);
    Caption = caption;
    if (FindLine(Strings, kCaptionLine) == Strings.end()) {
        PutString(kCaptionLine, caption, taCenter, false, clBlack, fsBold, 14, std::string());
    } else {
        ChangeStringParams(kCaptionLine, {spText}, {caption});
    }
}

std::vector<TViewerString> TProgressViewer::GetStrings() const {
    std::lock_guard<std::recursive_mutex> guard(StringsLock);
    return Strings;
}

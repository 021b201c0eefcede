#include "app/win32/FormOrvaneWin32.h"

#include <algorithm>

#include "app/win32/OrvaneResources.h"
#include "platform/TextConversion.h"
#include "ui/win32/ScreenScaleWin32.h"

namespace orvane {
namespace {

constexpr wchar_t kClassName[] = L"TFormOrvane";

enum ControlId : int {
  kIdActiver = 100,
  kIdDesactiver,
  kIdVideMemo,
  kIdExport,
  kIdButton1,
  kIdListBox,
  kIdLabel,
  kIdLumiereGroup,
  kIdDisplayGroup,
  kIdButtonCheckGroup,
  kIdButtonCheckProgress,
  kIdDeviceStatusGroup,
  kIdDeviceStatusText,
  kIdSoundGroup,
  kIdLumiere0 = 200,
  kIdDisplay0 = 300,
  kIdButtonCheckCell0 = 400,
  kIdSoundPart0 = 500,
};

// The timers that look at the held buttons and refresh the sound group.
constexpr UINT_PTR kButtonCheckTimer = 1;
constexpr UINT_PTR kSoundTimer = 2;

// The sound group's parts that draw themselves.
bool DrawnSoundPart(size_t part) { return part == kSoundBar || part == kSoundSaturation || part == kSoundSilence; }

// A rectangle of a group's inside, in the window's client coordinates.
TControlRect InGroup(const TControlRect& group, const TControlRect& inside) {
  return TControlRect{group.left + inside.left, group.top + inside.top, inside.width, inside.height};
}

COLORREF ToColorRef(uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

bool HighContrast() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof(contrast);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

// The font at the screen's DPI, or at the one given.
HFONT MakeFont(const wchar_t* face, int points, BYTE charset, int dpi = 0) {
  if (dpi == 0) {
    HDC screen = GetDC(nullptr);
    dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  const int height = -MulDiv(points, dpi, 72);
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

}  // namespace

TFormOrvaneWin32::TFormOrvaneWin32() : presenter_(this) {}

TFormOrvaneWin32::~TFormOrvaneWin32() {
  presenter_.SetView(nullptr);
  if (window_) DestroyWindow(window_);
  if (font_) DeleteObject(font_);
  if (listFont_) DeleteObject(listFont_);
}

HWND TFormOrvaneWin32::Create(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &TFormOrvaneWin32::WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(ORVANE_ICON));
  if (!windowClass.hIcon) windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);

  const int width = Scaled(kFormOrvaneOuterWidth), height = Scaled(kFormOrvaneOuterHeight);
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, Utf8ToWide(kFormOrvaneCaption).c_str(),
                            WS_OVERLAPPEDWINDOW, std::max(0, left), std::max(0, top), width, height, nullptr,
                            nullptr, instance, this);
  if (!window_) return nullptr;
  RECT client{};
  GetClientRect(window_, &client);
  designClient_ = SIZE{client.right, client.bottom};

  font_ = MakeFont(L"MS Sans Serif", 8, DEFAULT_CHARSET);
  listFont_ = MakeFont(L"Times New Roman", 8, ANSI_CHARSET);

  // Every control of the window is made here, from its design rectangle, and follows the sides of
  // the window that Anchors name.
  const auto control = [&](const wchar_t* kind, const std::string& text, DWORD style, const TControlRect& design,
                           unsigned anchors, int id) {
    const TControlRect r = ScaleToDpi(design, ScreenDpi());
    HWND h = CreateWindowExW(0, kind, Utf8ToWide(text).c_str(), WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.width,
                             r.height, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    placed_.push_back({h, design, anchors});
    return h;
  };
  // A control of the design, with the style of its kind, and a tab stop where the design has one.
  const auto designed = [&](const wchar_t* kind, TFormOrvaneControl which, DWORD style, int id) {
    const TControlLayout& layout = kFormOrvaneLayout[which];
    if (layout.tabStop) style |= WS_TABSTOP;
    return controls_[which] = control(kind, layout.caption, style, layout.rect, layout.anchors, id);
  };
  const auto button = [&](TFormOrvaneControl which, int id) {
    return designed(L"BUTTON", which, BS_PUSHBUTTON | WS_GROUP, id);
  };
  // Tab enters a radio group at its selected item.
  const auto radioGroup = [&](TFormOrvaneControl which, int groupId, int firstId, HWND* radios) {
    const TControlLayout& layout = kFormOrvaneLayout[which];
    HWND group = control(L"BUTTON", layout.caption, BS_GROUPBOX, layout.rect, layout.anchors, groupId);
    const TControlRect inside = RadioGroupContents(layout, kDesignTextHeight);
    for (size_t i = 0; i < layout.items.size(); ++i) {
      const int item = static_cast<int>(i);
      const DWORD first = i == 0 ? WS_GROUP | (layout.tabStop ? WS_TABSTOP : 0) : 0;
      radios[i] = control(L"BUTTON", layout.items[i], BS_RADIOBUTTON | first,
                          InGroup(layout.rect, RadioGroupItemRect(layout, item, inside)), layout.anchors, firstId + item);
    }
    return controls_[which] = group;
  };

  // Created in tab order.
  buttonActiver_ = button(kButtonActiver, kIdActiver);
  buttonDesactiver_ = button(kButtonDesactiver, kIdDesactiver);
  radioGroupLumiere_ = radioGroup(kRadioGroupLumiere, kIdLumiereGroup, kIdLumiere0, lumiere_);
  buttonVideMemo_ = button(kButtonVideMemo, kIdVideMemo);
  rgDisplay_ = radioGroup(kRgDisplay, kIdDisplayGroup, kIdDisplay0, display_);
  buttonExport_ = button(kButtonExport, kIdExport);
  listBoxCmd_ = designed(L"LISTBOX", kListBoxCmd,
                         WS_BORDER | WS_HSCROLL | WS_GROUP | LBS_MULTICOLUMN | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
                         kIdListBox);
  SendMessageW(listBoxCmd_, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_), FALSE);
  button1_ = button(kButton1, kIdButton1);
  label1_ = designed(L"STATIC", kLabel1, SS_LEFT | WS_GROUP, kIdLabel);
  {
    // A label as large as its text.
    HDC dc = GetDC(label1_);
    HGDIOBJ old = SelectObject(dc, font_);
    SIZE extent{};
    const std::wstring text = Utf8ToWide(kFormOrvaneLayout[kLabel1].caption);
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(label1_, dc);
    SetWindowPos(label1_, nullptr, 0, 0, extent.cx, extent.cy, SWP_NOMOVE | SWP_NOZORDER);
  }

  // Out of the tab order: nothing here takes the focus.
  const TControlLayout& check = kFormOrvaneLayout[kButtonCheckGroup];
  buttonCheckGroup_ = designed(L"BUTTON", kButtonCheckGroup, BS_GROUPBOX, kIdButtonCheckGroup);
  const TControlRect checkInside = GroupContents(check.rect.width, check.rect.height, kDesignTextHeight);
  const auto cells = ButtonCheckCellRects(checkInside, kDesignTextHeight, CaptionWidths());
  for (size_t i = 0; i < buttonCheckCells_.size(); ++i)
    buttonCheckCells_[i] = control(L"STATIC", "", SS_OWNERDRAW, InGroup(check.rect, cells[i]), check.anchors,
                                   kIdButtonCheckCell0 + static_cast<int>(i));
  buttonCheckProgress_ =
      control(L"STATIC", "", SS_CENTER, InGroup(check.rect, ButtonCheckProgressRect(checkInside, kDesignTextHeight)),
              check.anchors, kIdButtonCheckProgress);
  const TControlLayout& status = kFormOrvaneLayout[kDeviceStatusGroup];
  deviceStatusGroup_ = designed(L"BUTTON", kDeviceStatusGroup, BS_GROUPBOX, kIdDeviceStatusGroup);
  // A static control wraps its lines at word ends.
  deviceStatusText_ = control(L"STATIC", "", SS_LEFT | SS_NOPREFIX,
                              InGroup(status.rect, GroupContents(status.rect.width, status.rect.height, kDesignTextHeight)),
                              status.anchors, kIdDeviceStatusText);

  // The sound group's buttons take the focus after "ShowMessage de GetTickCount": the controls
  // made since take none.
  const TControlLayout& sound = kFormOrvaneLayout[kSoundGroup];
  soundGroup_ = designed(L"BUTTON", kSoundGroup, BS_GROUPBOX, kIdSoundGroup);
  const auto soundRects =
      SoundGroupRects(GroupContents(sound.rect.width, sound.rect.height, kDesignTextHeight), kDesignTextHeight,
                      [this](const std::string& text) { return TextWidth(text); });
  for (size_t i = 0; i < kSoundPartCount; ++i) {
    const auto part = static_cast<TSoundPart>(i);
    DWORD style = SS_LEFT | SS_NOPREFIX;
    const wchar_t* kind = L"STATIC";
    if (part == kSoundRecord || part == kSoundReplay) {
      kind = L"BUTTON";
      style = BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP;
    } else if (DrawnSoundPart(part)) {
      style = SS_OWNERDRAW;
    } else if (part == kSoundDevice || part == kSoundActivity) {
      style = SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_ENDELLIPSIS;
    } else if (part == kSoundLevel) {
      style = SS_RIGHT | SS_NOPREFIX;
    }
    soundParts_[i] = control(kind, presenter_.SoundGroup().Text(part), style, InGroup(sound.rect, soundRects[i]),
                             sound.anchors, kIdSoundPart0 + static_cast<int>(i));
  }

  SetTimer(window_, kButtonCheckTimer, TFormOrvane::kButtonCheckPeriod, nullptr);
  SetTimer(window_, kSoundTimer, TFormOrvane::kSoundPeriod, nullptr);

  presenter_.Run([&] { presenter_.FormCreate(); });
  Changed();
  return window_;
}

void TFormOrvaneWin32::Show(int showCommand) {
  presenter_.Run([&] { presenter_.FormShow(); });
  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
}

void TFormOrvaneWin32::Changed() {
  if (!window_) return;
  EnableWindow(buttonActiver_, presenter_.ButtonActiverEnabled());
  EnableWindow(buttonDesactiver_, presenter_.ButtonDesactiverEnabled());
  EnableWindow(buttonExport_, presenter_.ButtonExportEnabled());
  for (int i = 0; i < kLumiereItemCount; ++i)
    SendMessageW(lumiere_[i], BM_SETCHECK, i == presenter_.LumiereIndex() ? BST_CHECKED : BST_UNCHECKED, 0);
  for (int i = 0; i < kDisplayItemCount; ++i)
    SendMessageW(display_[i], BM_SETCHECK, i == presenter_.DisplayIndex() ? BST_CHECKED : BST_UNCHECKED, 0);
  SetColumnWidth();
  SyncButtonCheck();
  SetWindowTextW(deviceStatusText_, Utf8ToWide(presenter_.DeviceStatus().Text()).c_str());
  SyncSoundGroup();
}

void TFormOrvaneWin32::SoundChanged() {
  if (window_) SyncSoundGroup();
}

void TFormOrvaneWin32::SyncSoundGroup() {
  const TSoundGroup& group = presenter_.SoundGroup();
  for (size_t i = 0; i < kSoundPartCount; ++i) {
    const auto part = static_cast<TSoundPart>(i);
    HWND h = soundParts_[i];
    const bool shown = group.Shown(part);
    if (((GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0) != shown) ShowWindow(h, shown ? SW_SHOWNA : SW_HIDE);
    if ((IsWindowEnabled(h) != FALSE) != group.Enabled(part)) EnableWindow(h, group.Enabled(part));
    // A part's window text is what it shows, or says to screen readers when it draws itself.
    const std::wstring text = Utf8ToWide(group.Text(part));
    wchar_t current[256] = {};
    GetWindowTextW(h, current, 256);
    const bool changed = text != current;
    if (changed) SetWindowTextW(h, text.c_str());
    // The bar moves without its words changing.
    if (DrawnSoundPart(part) && (changed || part == kSoundBar)) InvalidateRect(h, nullptr, FALSE);
  }
}

void TFormOrvaneWin32::SyncButtonCheck() {
  const TButtonCheck& check = presenter_.ButtonCheck();
  for (size_t i = 0; i < buttonCheckCells_.size(); ++i) {
    // The window text says the state in words, for screen readers; the cell draws itself from the
    // presenter's state, and must be drawn again when it changed.
    const std::wstring text = Utf8ToWide(check.CellDescription(i));
    wchar_t shown[128] = {};
    GetWindowTextW(buttonCheckCells_[i], shown, 128);
    if (text == shown) continue;
    SetWindowTextW(buttonCheckCells_[i], text.c_str());
    InvalidateRect(buttonCheckCells_[i], nullptr, TRUE);
  }
  SetWindowTextW(buttonCheckProgress_, Utf8ToWide(check.Progress()).c_str());
}

int TFormOrvaneWin32::TextWidth(const std::string& text) const {
  // In the window's font as the design's DPI makes it: what is laid out from it is then the
  // design's at every DPI, scaled.
  HFONT design = MakeFont(L"MS Sans Serif", 8, DEFAULT_CHARSET, kDesignDpi);
  HDC dc = GetDC(window_);
  HGDIOBJ old = SelectObject(dc, design);
  const std::wstring wide = Utf8ToWide(text);
  SIZE extent{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
  SelectObject(dc, old);
  ReleaseDC(window_, dc);
  DeleteObject(design);
  return extent.cx;
}

std::vector<int> TFormOrvaneWin32::CaptionWidths() const {
  // Measured at the screen's DPI, the cells being laid out at the design's: rounded up.
  std::vector<int> widths;
  HDC dc = GetDC(window_);
  HGDIOBJ old = SelectObject(dc, font_);
  for (const TSpeechMikeButton& button : kSpeechMikeButtons) {
    const std::wstring caption = Utf8ToWide(button.caption);
    SIZE extent{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
    widths.push_back((extent.cx * kDesignDpi + ScreenDpi() - 1) / ScreenDpi());
  }
  SelectObject(dc, old);
  ReleaseDC(window_, dc);
  return widths;
}

void TFormOrvaneWin32::DrawCell(const DRAWITEMSTRUCT& item) {
  const size_t button = item.CtlID - static_cast<UINT>(kIdButtonCheckCell0);
  const TButtonCheck& check = presenter_.ButtonCheck();
  const TButtonState state = check.State(button);
  // In high contrast the system's colours rule: the text and the border's weight tell the states
  // apart.
  const bool system = HighContrast();
  const COLORREF background = system ? GetSysColor(COLOR_WINDOW) : ToColorRef(ButtonStateColour(state));
  const COLORREF text = system ? GetSysColor(COLOR_WINDOWTEXT) : RGB(0, 0, 0);
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  HBRUSH fill = CreateSolidBrush(background);
  FillRect(dc, &r, fill);
  DeleteObject(fill);
  HBRUSH frame = GetSysColorBrush(system ? COLOR_WINDOWTEXT : COLOR_BTNSHADOW);
  for (int i = 0; i < Scaled(ButtonStateBorder(state)); ++i) {
    FrameRect(dc, &r, frame);
    InflateRect(&r, -1, -1);
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, text);
  HGDIOBJ old = SelectObject(dc, font_);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const std::string cell = check.CellText(button);
  const size_t feed = cell.find('\n');
  // The caption above the state, each a line of the font high, together in the middle.
  RECT upper = item.rcItem;
  upper.top = (item.rcItem.top + item.rcItem.bottom) / 2 - metrics.tmHeight;
  upper.bottom = upper.top + metrics.tmHeight;
  RECT lower = upper;
  OffsetRect(&lower, 0, metrics.tmHeight);
  const std::wstring caption = Utf8ToWide(cell.substr(0, feed));
  const std::wstring detail = Utf8ToWide(feed == std::string::npos ? std::string() : cell.substr(feed + 1));
  DrawTextW(dc, caption.c_str(), -1, &upper, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
  DrawTextW(dc, detail.c_str(), -1, &lower, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
}

void TFormOrvaneWin32::DrawSoundPart(const DRAWITEMSTRUCT& item) {
  const auto part = static_cast<TSoundPart>(item.CtlID - static_cast<UINT>(kIdSoundPart0));
  const TSoundGroup& group = presenter_.SoundGroup();
  // In high contrast the system's colours rule: the words and the border's weight tell the alerts
  // apart, the bar is the system's highlight.
  const bool system = HighContrast();
  const RECT whole = item.rcItem;
  const int width = whole.right - whole.left, height = whole.bottom - whole.top;
  // Drawn aside and copied in one go: the bar changes twenty times a second.
  HDC dc = CreateCompatibleDC(item.hDC);
  HBITMAP bitmap = CreateCompatibleBitmap(item.hDC, width, height);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  RECT r{0, 0, width, height};
  const std::optional<uint32_t> colour = group.Colour(part);
  const auto fill = [&](const RECT& area, COLORREF c) {
    HBRUSH brush = CreateSolidBrush(c);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
  };
  fill(r, part == kSoundBar ? GetSysColor(COLOR_WINDOW) : GetSysColor(COLOR_BTNFACE));
  if (part != kSoundBar && colour && !system) fill(r, ToColorRef(*colour));
  HBRUSH frame = GetSysColorBrush(system ? COLOR_WINDOWTEXT : COLOR_BTNSHADOW);
  for (int i = 0; i < Scaled(group.Border(part)); ++i) {
    FrameRect(dc, &r, frame);
    InflateRect(&r, -1, -1);
  }
  if (part == kSoundBar) {
    const int inside = r.right - r.left;
    RECT level = r;
    level.right = r.left + static_cast<int>(inside * group.LevelFraction() + 0.5);
    fill(level, system ? GetSysColor(COLOR_HIGHLIGHT) : ToColorRef(colour.value_or(0)));
    if (group.HoldFraction() > 0) {
      RECT hold = r;
      hold.left = r.left + static_cast<int>((inside - Scaled(2)) * group.HoldFraction() + 0.5);
      hold.right = hold.left + Scaled(2);
      fill(hold, system ? GetSysColor(COLOR_WINDOWTEXT) : RGB(0, 0, 0));
    }
  } else {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, system || !colour ? GetSysColor(COLOR_BTNTEXT) : RGB(0, 0, 0));
    HGDIOBJ oldFont = SelectObject(dc, font_);
    const std::wstring text = Utf8ToWide(group.Text(part));
    DrawTextW(dc, text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
  }
  BitBlt(item.hDC, whole.left, whole.top, width, height, dc, 0, 0, SRCCOPY);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

void TFormOrvaneWin32::LineInsertedAtTop(const std::string& line) { InsertLine(line, 0); }

void TFormOrvaneWin32::LineAppended(const std::string& line) { InsertLine(line, -1); }

void TFormOrvaneWin32::InsertLine(const std::string& line, int at) {
  if (!window_) return;
  const std::wstring text = Utf8ToWide(line);
  SendMessageW(listBoxCmd_, LB_INSERTSTRING, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(text.c_str()));
}

void TFormOrvaneWin32::ListCleared() {
  if (window_) SendMessageW(listBoxCmd_, LB_RESETCONTENT, 0, 0);
}

void TFormOrvaneWin32::SetColumnWidth() {
  RECT client{};
  GetClientRect(listBoxCmd_, &client);
  const int columns = std::max(1, presenter_.Columns());
  SendMessageW(listBoxCmd_, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(std::max<LONG>(1, client.right / columns)), 0);
  InvalidateRect(listBoxCmd_, nullptr, TRUE);
}

void TFormOrvaneWin32::Focus(TFormOrvaneControl control) { SetFocus(controls_[control]); }

void TFormOrvaneWin32::FocusSound(TSoundPart button) { SetFocus(soundParts_[button]); }

void TFormOrvaneWin32::RequestClose() { PostMessageW(window_, WM_CLOSE, 0, 0); }

void TFormOrvaneWin32::Anchor() {
  RECT client{};
  GetClientRect(window_, &client);
  const int dx = client.right - designClient_.cx;
  const int dy = client.bottom - designClient_.cy;
  HDWP positions = BeginDeferWindowPos(static_cast<int>(placed_.size()));
  // What is tied to the top left corner stays where it was made; the rest takes its design place
  // at the screen's DPI, moved or stretched by the window's growth.
  for (const Placed& p : placed_) {
    if (!(p.anchors & (kAnchorRight | kAnchorBottom))) continue;
    const TControlRect r = Anchored(ScaleToDpi(p.design, ScreenDpi()), p.anchors, dx, dy);
    positions = DeferWindowPos(positions, p.control, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER);
  }
  EndDeferWindowPos(positions);
  // Group boxes are drawn by the window behind them: what they uncover must be repainted.
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  SetColumnWidth();
}

void TFormOrvaneWin32::Command(int id, int notification) {
  if (notification != BN_CLICKED) return;
  auto& p = presenter_;
  switch (id) {
    case kIdActiver: p.Run([&] { p.ButtonActiverClick(); }); break;
    case kIdDesactiver: p.Run([&] { p.ButtonDesactiverClick(); }); break;
    case kIdVideMemo: p.Run([&] { p.ButtonVideMemoClick(); }); break;
    case kIdExport: p.Run([&] { p.ButtonExportClick(); }); break;
    case kIdButton1: p.Run([&] { p.Button1Click(); }); break;
    case kIdSoundPart0 + static_cast<int>(kSoundRecord): p.Run([&] { p.ButtonEnregistrerClick(); }); break;
    case kIdSoundPart0 + static_cast<int>(kSoundReplay): p.Run([&] { p.ButtonReecouterClick(); }); break;
    default:
      if (id >= kIdLumiere0 && id < kIdLumiere0 + kLumiereItemCount) {
        SetFocus(lumiere_[id - kIdLumiere0]);
        p.Run([&] { p.SelectLumiere(id - kIdLumiere0); });
      } else if (id >= kIdDisplay0 && id < kIdDisplay0 + kDisplayItemCount) {
        SetFocus(display_[id - kIdDisplay0]);
        p.Run([&] { p.SelectDisplay(id - kIdDisplay0); });
      }
      Changed();
      break;
  }
}

LRESULT CALLBACK TFormOrvaneWin32::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TFormOrvaneWin32*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || !self->window_) return DefWindowProcW(window, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT TFormOrvaneWin32::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      Command(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      const UINT first = kIdButtonCheckCell0;
      if (item->CtlID >= first && item->CtlID < first + kSpeechMikeButtonCount) {
        DrawCell(*item);
        return TRUE;
      }
      const UINT sound = kIdSoundPart0;
      if (item->CtlID >= sound && item->CtlID < sound + kSoundPartCount && DrawnSoundPart(item->CtlID - sound)) {
        DrawSoundPart(*item);
        return TRUE;
      }
      return DefWindowProcW(window_, message, wParam, lParam);
    }
    case WM_TIMER:
      if (wParam == kButtonCheckTimer) presenter_.Run([&] { presenter_.ButtonCheckTimer(); });
      if (wParam == kSoundTimer) presenter_.Run([&] { presenter_.SoundTimer(); });
      return 0;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) Anchor();
      return 0;
    case WM_GETMINMAXINFO: {
      // Never smaller than designed, or the groups that follow the right and bottom sides would
      // cover the others.
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize = POINT{Scaled(kFormOrvaneOuterWidth), Scaled(kFormOrvaneOuterHeight)};
      return 0;
    }
    case WM_CLOSE:
      // The window closes even when a deactivation step fails: the user asked to quit, and the
      // controller releases the component with the window anyway.
      if (!closing_) {
        closing_ = true;
        presenter_.Run([&] { presenter_.FormClose(); });
        DestroyWindow(window_);
      }
      return 0;
    case WM_DESTROY:
      window_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

}  // namespace orvane

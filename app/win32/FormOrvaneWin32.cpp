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
  kIdLumiere0 = 200,
  kIdDisplay0 = 300,
  kIdButtonCheckCell0 = 400,
};

// The timer that looks at the held buttons.
constexpr UINT_PTR kButtonCheckTimer = 1;

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

HFONT MakeFont(const wchar_t* face, int points, BYTE charset) {
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
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
  SetTimer(window_, kButtonCheckTimer, TFormOrvane::kButtonCheckPeriod, nullptr);

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
      return DefWindowProcW(window_, message, wParam, lParam);
    }
    case WM_TIMER:
      if (wParam == kButtonCheckTimer) presenter_.Run([&] { presenter_.ButtonCheckTimer(); });
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

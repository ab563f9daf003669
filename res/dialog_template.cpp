#include "res/dialog_template.h"

namespace res {
namespace {

using namespace style;
namespace controls = platform::controls;

const DialogTemplate kMainDialog{
    kPopup | kVisible | kSysMenu,
    "\xcb\xce\xcc\xe5",  // "宋体"
    9,
    1034,
    686,
    {
        {2041, ControlKind::BackgroundBitmap, kChild | kVisible | kStaticBitmap, {0, 0, 1034, 686}, 141},
        {controls::Background, ControlKind::PictureCtrl, kChild | kVisible | kStaticBitmap, {0, 0, 1034, 686}, 0},
        {1011, ControlKind::PictureCtrl, kChild | kStaticBitmap, {0, 0, 0, 0}, 0},
        {1002, ControlKind::SkinButton, kChild | kTabStop | kButtonPush, {20, 20, 95, 44}, 0},
        {2020, ControlKind::SkinButton, kChild | kVisible | kTabStop | kButtonPush, {0, 0, 0, 0}, 0},
        {controls::NewsPanel, ControlKind::WebBrowser, kChild | kVisible | kTabStop, {374, 198, 374, 198}, 0},
        {controls::SecondBrowser, ControlKind::WebBrowser, kChild | kVisible | kTabStop, {126, 344, 126, 344}, 0},
        {controls::CurrentVersionLabel, ControlKind::Label, kChild | kVisible | kStaticLeft, {809, 625, 975, 640}, 0},
        {controls::LatestVersionLabel, ControlKind::Label, kChild | kVisible | kStaticLeft, {809, 608, 975, 623}, 0},
        {controls::StatusLabel, ControlKind::Label, kChild | kVisible | kStaticLeft, {430, 542, 640, 557}, 0},
        {controls::ProgressControl, ControlKind::ProgressBar, kChild | kVisible, {481, 574, 481, 574}, 0},
        {controls::PercentLabel, ControlKind::Label, kChild | kVisible | kStaticLeft, {910, 543, 940, 570}, 0},
        {controls::UnusedStatic, ControlKind::PlainStatic, kChild | kVisible | kStaticLeft, {770, 624, 910, 644}, 0},
        {controls::UnusedPicture, ControlKind::PlainPicture, kChild | kVisible | kStaticBitmap | kStaticNotify,
         {503, 605, 658, 627}, 0},
        {controls::UnusedCheckBox, ControlKind::CheckBox, kChild | kVisible | kTabStop | kButtonAutoCheckBox,
         {747, 626, 760, 639}, 0},
    },
};

}  // namespace

const DialogTemplate* FindDialogTemplate(int id) {
  return id == kMainDialogTemplate ? &kMainDialog : nullptr;
}

}  // namespace res

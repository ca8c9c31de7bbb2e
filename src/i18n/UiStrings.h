#pragma once
// Every text the installer shows: a key looked up in the translation file of
// the current language, and the English text used when it is not there.
// Placeholders are filled by the caller after the lookup, in the order the
// English text has them.
#include <cstddef>

namespace ovek {

struct UiTextEntry {
    const wchar_t* key;
    const wchar_t* text;  // English default
};

inline constexpr UiTextEntry IDS_INSTALL{L"IDS_INSTALL", L"Install"};
inline constexpr UiTextEntry IDS_STATUS_INIT{L"IDS_STATUS_INIT", L"Initializing..."};
inline constexpr UiTextEntry IDS_STATUS_CANCELLING{L"IDS_STATUS_CANCELLING", L"Cancelling..."};
inline constexpr UiTextEntry IDS_STATUS_DOWNLOADING{L"IDS_STATUS_DOWNLOADING", L"Downloading, please wait..."};
inline constexpr UiTextEntry IDS_STATUS_INSTALLING{L"IDS_STATUS_INSTALLING", L"Installing, please wait..."};
inline constexpr UiTextEntry IDS_STATUS_FINISHED{L"IDS_STATUS_FINISHED", L"Finished."};
inline constexpr UiTextEntry IDS_STATUS_INSTALL_FAILED{L"IDS_STATUS_INSTALL_FAILED", L"Install failed."};
inline constexpr UiTextEntry IDS_STATUS_CANCELLED{L"IDS_STATUS_CANCELLED", L"Cancelled."};
inline constexpr UiTextEntry IDS_PRODUCT_READY{L"IDS_PRODUCT_READY", L"%s is ready"};  // short name
inline constexpr UiTextEntry IDS_ACCEPT_LICENSE_TERMS{L"IDS_ACCEPT_LICENSE_TERMS", L"I accept the"};
inline constexpr UiTextEntry IDS_LINK_LICENSE_TERMS{L"IDS_LINK_LICENSE_TERMS", L"License Terms"};
inline constexpr UiTextEntry IDS_ACCEPT_LICENSE_SENTENCE{L"IDS_ACCEPT_LICENSE_SENTENCE",
                                                         L"I accept the License Terms"};
inline constexpr UiTextEntry IDS_INSTALL_SETTINGS{L"IDS_INSTALL_SETTINGS", L"Installation settings"};
inline constexpr UiTextEntry IDS_SELECT_LANG{L"IDS_SELECT_LANG", L"Please select a language:"};
inline constexpr UiTextEntry IDS_INSTALL_FOLDER{L"IDS_INSTALL_FOLDER", L"Installation folder:"};
inline constexpr UiTextEntry IDS_TEXT_CANCEL{L"IDS_TEXT_CANCEL", L"Cancel"};
inline constexpr UiTextEntry IDS_MESSAGE_CANCELNOTICE{
    L"IDS_MESSAGE_CANCELNOTICE", L"Are you sure you want to cancel the installing process?"};
inline constexpr UiTextEntry IDS_START_NOW{L"IDS_START_NOW", L"Start Now"};
inline constexpr UiTextEntry IDS_LAUNCH_APP{L"IDS_LAUNCH_APP", L"Launch %s"};  // full name
inline constexpr UiTextEntry IDS_BROWSE_DEST_FOLDER{L"IDS_BROWSE_DEST_FOLDER",
                                                    L"Browse to the destination folder."};
inline constexpr UiTextEntry IDS_PREPARING{L"IDS_PREPARING", L"Preparing..."};
inline constexpr UiTextEntry IDS_CALC_TIME_REMAINING{L"IDS_CALC_TIME_REMAINING",
                                                     L"Calculating time remaining..."};
inline constexpr UiTextEntry IDS_TIME_REMAINING_HOURS{L"IDS_TIME_REMAINING_HOURS",
                                                      L"%02d hours %02d mins %02d secs remaining..."};
inline constexpr UiTextEntry IDS_TIME_REMAINING_MINS{L"IDS_TIME_REMAINING_MINS",
                                                     L"%02d mins %02d secs remaining..."};
inline constexpr UiTextEntry IDS_TIME_REMAINING_SECS{L"IDS_TIME_REMAINING_SECS", L"%02d secs remaining..."};
inline constexpr UiTextEntry IDS_ERR_CAPTION{L"IDS_ERR_CAPTION", L"Error"};
inline constexpr UiTextEntry IDS_ERR_INSTALLED_ALREADY{
    L"IDS_ERR_INSTALLED_ALREADY", L"%s is already installed. Would you like to launch it?"};  // short name
// No placeholder, although callers pass the short name.
inline constexpr UiTextEntry IDS_ERR_INSTALLED_ANOTHER_VERSION{
    L"IDS_ERR_INSTALLED_ANOTHER_VERSION",
    L"Another version of this product is already installed. Installation of this version cannot "
    L"continue. To configure or remove the existing version of this product, use Add/Remove Programs "
    L"on the Control Panel."};
inline constexpr UiTextEntry IDS_ERR_CLIENT_TOO_OLD{
    L"IDS_ERR_CLIENT_TOO_OLD",
    L"The version of your client is too old, please click \"OK\" to download the latest client."};
inline constexpr UiTextEntry IDS_ERR_OUT_OF_DISK{
    L"IDS_ERR_OUT_OF_DISK",
    L"The disk space required for the installation exceeds available disk space. Check that at least "
    L"%s MB of disk space is available and try again. For more information, please contact Customer "
    L"Care."};  // megabytes
inline constexpr UiTextEntry IDS_ERR_CONNECT_DOWNLOAD_SERVER{
    L"IDS_ERR_CONNECT_DOWNLOAD_SERVER",
    L"Unable to contact the download server. Check your Internet connection and try again. If the "
    L"issue persists, please contact Customer Care."};
inline constexpr UiTextEntry IDS_ERR_CREATE_FOLDER_FAILED{L"IDS_ERR_CREATE_FOLDER_FAILED",
                                                          L"The specified path %s is unavailable."};  // folder
inline constexpr UiTextEntry IDS_CLOSE_RUNNING_APPS{
    L"IDS_CLOSE_RUNNING_APPS",
    L"The following applications should be closed before continuing the installation:"};
// Links, looked up in their own section (LookUpLink).
inline constexpr UiTextEntry IDS_RLINK_TERMS{L"IDS_RLINK_TERMS", L"https://www.oveksystems.com/kavro/license-terms"};
inline constexpr UiTextEntry IDS_RLINK_SLIDE_SHOW{L"IDS_RLINK_SLIDE_SHOW", L"https://www.oveksystems.com/kavro/"};

// The whole table, in its fixed order.
inline constexpr UiTextEntry kUiTextTable[] = {
    IDS_INSTALL,
    IDS_STATUS_INIT,
    IDS_STATUS_CANCELLING,
    IDS_STATUS_DOWNLOADING,
    IDS_STATUS_INSTALLING,
    IDS_STATUS_FINISHED,
    IDS_STATUS_INSTALL_FAILED,
    IDS_STATUS_CANCELLED,
    IDS_PRODUCT_READY,
    IDS_ACCEPT_LICENSE_TERMS,
    IDS_LINK_LICENSE_TERMS,
    IDS_ACCEPT_LICENSE_SENTENCE,
    IDS_INSTALL_SETTINGS,
    IDS_SELECT_LANG,
    IDS_INSTALL_FOLDER,
    IDS_TEXT_CANCEL,
    IDS_MESSAGE_CANCELNOTICE,
    IDS_START_NOW,
    IDS_LAUNCH_APP,
    IDS_BROWSE_DEST_FOLDER,
    IDS_PREPARING,
    IDS_CALC_TIME_REMAINING,
    IDS_TIME_REMAINING_HOURS,
    IDS_TIME_REMAINING_MINS,
    IDS_TIME_REMAINING_SECS,
    IDS_ERR_CAPTION,
    IDS_ERR_INSTALLED_ALREADY,
    IDS_ERR_INSTALLED_ANOTHER_VERSION,
    IDS_ERR_CLIENT_TOO_OLD,
    IDS_ERR_OUT_OF_DISK,
    IDS_ERR_CONNECT_DOWNLOAD_SERVER,
    IDS_ERR_CREATE_FOLDER_FAILED,
    IDS_CLOSE_RUNNING_APPS,
    IDS_RLINK_TERMS,
    IDS_RLINK_SLIDE_SHOW,
};
inline constexpr std::size_t kUiTextCount = sizeof(kUiTextTable) / sizeof(kUiTextTable[0]);
static_assert(kUiTextCount == 35);

}  // namespace ovek

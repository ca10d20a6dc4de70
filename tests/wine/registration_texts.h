// The texts that /R and /U show, written out for the tests to expect.
#pragma once

inline constexpr char kOpenFailedText[] =
    "RegOpenKeyExのエラーです\nレジストリをオープンできませんでした";
inline constexpr char kSetFailedText[] = "RegSetValueExのエラーです\n値をセットできませんでした";
inline constexpr char kInUseText[] =
    "application/x-tv-program-infoは他のアプリで使用されています。\n登録を中止します。";
inline constexpr char kAlreadyInstalledText[] = "既に１度インストールしているようなのですけどぉ～";
inline constexpr char kRegisteredText[] = "登録は正常に行われました";
inline constexpr char kForeignText[] = "他のアプリにより登録された情報です。";
inline constexpr char kRefusedText[] = "登録解除はできません";
inline constexpr char kUnregisteredText[] = "登録解除は正常に行われました";
inline constexpr char kUnregisterFailedText[] =
    "登録解除できませんでした\n登録解除には管理者の権限が必要です";

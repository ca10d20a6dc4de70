// The texts loxa-reminder.exe shows (code page 932 in the built program).
#pragma once

inline constexpr char kProgramName[] = "番組リマインダー";
inline constexpr char kOtherServerText[] =
    "ほかのリマインダーアプリケーションが既に動いています。\n"
    "番組リマインダーは起動せずに終了します。";
inline constexpr char kStartFailedText[] = "番組リマインダーを起動できませんでした。";
inline constexpr char kNoFolderText[] = "リマインダーを保存するフォルダーを用意できませんでした。";
inline constexpr char kTooltipNone[] = "番組リマインダー：待機中のリマインダーはありません";
inline constexpr char kTooltipCount[] = "番組リマインダー：待機中のリマインダー %u 件";
inline constexpr char kMenuShowList[] = "一覧を表示(&L)";
inline constexpr char kMenuExit[] = "終了(&X)";
inline constexpr char kDueFormat[] = "%d年%d月%d日 %02d:%02d";
inline constexpr char kLateSuffix[] = "（遅れてお知らせしています）";
inline constexpr char kUntitled[] = "（題名なし）";
inline constexpr char kColumnDue[] = "通知日時";
inline constexpr char kColumnTitle[] = "番組名";
inline constexpr char kColumnState[] = "状態";
inline constexpr char kStateWaiting[] = "待機中";
inline constexpr char kStateShown[] = "お知らせ中";
inline constexpr char kStateDone[] = "完了";
inline constexpr char kSummaryFormat[] =
    "ほか %u 件のリマインダーの時刻になっています。\n"
    "お知らせを閉じると、次のものを表示します。";
inline constexpr char kDeleteFailedText[] = "リマインダーを削除できませんでした。";
inline constexpr char kCloseFailedText[] =
    "このリマインダーを完了にできませんでした。\n"
    "ディスクがいっぱいか、ほかのプログラムがファイルを使っています。\n"
    "リマインダーはそのまま残しています。しばらくしてから、もう一度「閉じる」を押してください。";

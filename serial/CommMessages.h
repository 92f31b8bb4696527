#pragma once
// The component's error messages, shown to the operator as they stand.

namespace CommMessages {
inline constexpr char AlreadyOpen[] = "ポートは、すでにオープンされています";
inline constexpr char CannotOpen[] = "ポートをオープンできませんでした";
inline constexpr char TransThread[] = "送信用スレッドを生成できませんでした";
inline constexpr char ReceiveThread[] = "受信用スレッドを生成できませんでした";
inline constexpr char BitRate[] = "通信速度の設定でエラーが発生しました";
inline constexpr char CharSize[] = "通信ビット数の設定でエラーが発生しました";
inline constexpr char ParityBit[] = "通信パリティチェックの設定でエラーが発生しました";
inline constexpr char StopBit[] = "通信ストップビット数の設定でエラーが発生しました";
inline constexpr char FlowCtrl[] = "通信フロー制御の設定で失敗しました";
inline constexpr char Timeouts[] = "通信タイムアウト時間の設定で失敗しました";
inline constexpr char XonChar[] = "Ｘｏｎ文字の設定でエラーが発生しました";
inline constexpr char XoffChar[] = "Ｘｏｆｆ文字の設定でエラーが発生しました";
inline constexpr char Buffers[] = "通信用ポートのバッファを準備できませんでした";
} // namespace CommMessages

// The game's own texts that two places need: the painters draw them on the field, and the
// page beside the canvas (render/screen_words.h) gives the same words to assistive
// technology. Each text lives here once; formats take their numbers as the painters give them.
#pragma once

// The title page, in reading order.
inline constexpr char kTitleName[] = "ORBILUX";
inline constexpr char kTitleRush[] = "RUSH";
inline constexpr char kTitleMotto1[] = "Catch boosters,";
inline constexpr char kTitleMotto2[] = "connect everything!";
inline constexpr char kTitleRedName[] = "ORBILUX";
inline constexpr char kTitleRedRule[] = "+1 point. Connect the next device.";
inline constexpr char kTitleGoldName[] = "GOLDEN BOOSTER";
inline constexpr char kTitleGoldRule[] = "+5 points and +1 extra life.";
inline constexpr char kTitleMeanderName[] = "AVOID MEANDERS";
inline constexpr char kTitleMeanderRule[] = "-1 life. Disconnects a device.";
inline constexpr char kTitleMission[] = "YOUR MISSION";
inline constexpr char kTitleMissionText[] = "Connect the city, farms and industry!";
inline constexpr char kTitleQuizRule[] = "Quiz: correct +1 life / wrong -2 lives";
inline constexpr char kTitlePlay[] = "PRESS SPACE TO PLAY";
inline constexpr char kTitleHelp1[] = "Arrows: move   Space: pause   M: music";
inline constexpr char kTitleHelp2[] = "R: restart   Esc: exit   Start with 3 lives";
inline constexpr char kTitleTouchPlay[] = "TAP TO PLAY";
inline constexpr char kTitleTouchHelp1[] = "Hold left or right: move   Top bar: pause";
inline constexpr char kTitleTouchHelp2[] = "Bottom bar: music   Start with 3 lives";

// The heads-up display of the play field.
inline constexpr char kGameName[] = "ORBILUX RUSH";
inline constexpr char kHudScoreFormat[] = "SCORE  %d";
inline constexpr char kLivesFormat[] = "LIVES  %d";  // also on the question screen
inline constexpr char kHudLevelFormat[] = "LEVEL  %d";
inline constexpr char kHudBestFormat[] = "BEST  %d";
inline constexpr char kHudHelp[] = "Arrows: move   Space: pause   R: restart   M: music   Esc: exit";
inline constexpr char kHudTouchHelp[] = "Hold left or right: move   Tap here: music   Tap the top bar: pause";
inline constexpr char kHudLegend[] = "Red: +1  |  Gold: +5 and +1 life  |  Avoid meanders: -1 life";

// Banners and panels over the play field.
inline constexpr char kMeanderWarning[] = "AVOID MEANDERS!  -1 LIFE";
inline constexpr char kLevelUpFormat[] = "LEVEL UP!  Level %d";
inline constexpr char kConnectedHeading[] = "EVERYTHING CONNECTED!";
inline constexpr char kConnectedText[] = "Great job! A question unlocks the next level.";
inline constexpr char kGetReady[] = "GET READY";
inline constexpr char kPaused[] = "PAUSED";
inline constexpr char kResumeWithoutFocus[] = "Return to this window to resume";
inline constexpr char kResumeByTouch[] = "Tap to resume, top bar: new game";
inline constexpr char kResumeByKey[] = "Press Space to resume";
inline constexpr char kGameOver[] = "GAME OVER";
inline constexpr char kGameOverScoreFormat[] = "Score: %d     Best: %d";
inline constexpr char kGameOverCourseText[] = "Keep connecting! Strengthen your Orbilux knowledge in the MOOC.";
inline constexpr char kGameOverCourseCaption[] = "O: OPEN THE MOOC";
inline constexpr char kGameOverBookCaption[] = "B: VIEW THE BOOK";
inline constexpr char kGameOverAgainByTouch[] = "Tap outside the buttons to play again";
inline constexpr char kGameOverAgainByKey[] = "R: play again    Esc: exit";

// Shared by the game-over panel and the wrong-answer screen.
inline constexpr char kFreeCourse[] = "Free course. Learn at your own pace.";
inline constexpr char kExploreBook[] = "Want to go further? Explore the book:";
inline constexpr char kBookTitle[] = "Orbilux Technology for Wireless Communications";

// The checkpoint quiz.
inline constexpr char kCheckpointFormat[] = "LEVEL %d CHECKPOINT";
inline constexpr char kQuizHint[] = "Choose A, B, C or D (or 1-4). You can also click an answer.";
inline constexpr char kQuizRules[] = "Correct: +1 life. Wrong: -2 lives.   M: music   Esc: exit";
inline constexpr char kCorrectHeading[] = "CORRECT!  +1 EXTRA LIFE";
inline constexpr char kCorrectReadyFormat[] = "Level %d is ready. Let's connect more devices!";
inline constexpr char kCorrectContinue[] = "PRESS SPACE TO CONTINUE";
inline constexpr char kWrongHeading[] = "KEEP LEARNING!  -2 LIVES";
inline constexpr char kWrongGameOverHeading[] = "GAME OVER - KEEP LEARNING!";
inline constexpr char kWrongCourseText[] = "Nice try! Strengthen your knowledge of Orbilux Technology with the MOOC.";
inline constexpr char kWrongCourseCaption[] = "PRESS O TO OPEN THE MOOC";
inline constexpr char kWrongBookCaption[] = "PRESS B TO VIEW THE BOOK";
inline constexpr char kWrongRetry[] = "PRESS R TO TRY AGAIN";
inline constexpr char kWrongNewGame[] = "PRESS R FOR A NEW GAME";
inline constexpr char kWrongLivesFormat[] = "-2 lives. Lives remaining: %d. Keep learning at your own pace!";

// The options screen: its heading, a label for each row in the rows' order, and its hints.
inline constexpr char kOptionsHeading[] = "OPTIONS";
inline constexpr const char* kOptionRowLabels[] = {
    "Music volume", "Effects volume", "Game speed", "Reduced motion", "Key: move left", "Key: move right",
    "Key: start, pause, continue", "Key: restart", "Key: music on or off", "Reset keys", "Back"};
inline constexpr char kOptionsRefused[] = "Taken: that key already has a use. Choose another.";
inline constexpr char kOptionsWaiting[] = "Press the new key. Esc keeps the old one.";
inline constexpr char kOptionsHint[] = "Up/Down: choose   Left/Right or click < >: change   Enter or click: set";
inline constexpr char kOptionsLeave[] = "S, Esc or Back: leave the options   Pad: D-pad, A to set, B to leave";
inline constexpr char kOptionsTouchWaiting[] = "Press the new key, or tap a row to keep the old one.";
inline constexpr char kOptionsTouchHint[] = "Tap < or > to change a value, or a row to set it";
inline constexpr char kOptionsTouchLeave[] = "Tap Back to leave the options";

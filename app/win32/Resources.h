#pragma once

// The identifiers the resource script and the code share. Plain macros: the resource compiler
// reads this file too.

#define IDI_VELMORA 1

// The main window.
#define IDD_MAIN 100
#define IDC_CONVERSION_TITLE 101
#define IDC_CONVERT 102
#define IDC_RESULTS_TITLE 103
#define IDC_RESULTS 104
#define IDC_VERSION 105
#define IDC_QUIT 106
#define IDC_HELP_CONTENTS 107

// The time-frame dialog.
#define IDD_FRAMES 200
#define IDC_FRAMES_INSTRUCTION 201
#define IDC_FRAMES_HINT 202
#define IDC_FRAMES_HEADING 203
#define IDC_SLOTS_HEADING 204
#define IDC_FRAME_LIST 205
#define IDC_SLOT_LIST 206
#define IDC_FRAME_NAME 207
#define IDC_FRAME_DATE 208
#define IDC_FRAME_SECOND_DATE 209

// The closing message of a run that left notes.
#define IDD_NOTES 300
#define IDC_NOTES_ICON 301
#define IDC_NOTES_TEXT 302
#define IDC_NOTES_SUMMARY 303
#define IDC_NOTES_DETAILS 304
#define IDC_NOTES_SAVE 305
#define IDC_NOTES_SHOW_DETAILS 306

// The help window showing the guide.
#define IDD_HELP 400
#define IDC_HELP_HOME 401
#define IDC_HELP_BACK 402
#define IDC_HELP_FORWARD 403
#define IDC_HELP_PAGE 404

// The help context every window and control of the program carries.
#define HELP_CONTEXT_WINDOW 3

// The guide's pages are resources of this type, named after their page ("ventana.html").
#define RT_GUIDE_PAGE 256

/* Resource numbers shared by the C++ code and quiltora.rc. */
#ifndef QUILTORA_RESOURCE_IDS_H
#define QUILTORA_RESOURCE_IDS_H

#define IDS_ORIGINAL_IMAGE 301
#define IDS_NEW_IMAGE 302
#define IDS_SELECT_SOURCE_AREA 303
#define IDS_BLEND_FIRST 304 /* "Normal"; blend mode m has IDS_BLEND_FIRST + m - 1 */
#define IDS_BLEND_LAST 312
#define IDS_SAVE_TILE_TITLE 313
#define IDS_LOAD_SOURCE_TITLE 314
#define IDS_TILE_FILE_NAME 315
#define IDS_FILE_OPEN_ERROR 316
#define IDS_FILE_NOT_VALID 317
#define IDS_FILE_READ_ERROR 318
#define IDS_FILE_LOW_MEMORY 319
#define IDS_FILE_CAPTION 320
#define IDS_FILE_FILTER 321
#define IDS_TILES_FOLDER 322
#define IDS_CAPTION_QUESTION 323
#define IDS_CAPTION_WARNING 324
#define IDS_CAPTION_ERROR 325
#define IDS_RELOAD_SOURCE 326
#define IDS_IMAGE_TOO_SMALL 327
#define IDS_FEATHER_OUTSIDE 328
#define IDS_FILE_PATH_TOO_LONG 329 /* a chosen file's path does not fit the settings record */

/* The controls library's unit names: three forms per unit from here, none
   of them in this table. */
#define IDS_UNIT_NAME_FIRST 20854

#define IDR_PLUGIN_INFO 1 /* PIMI and _8BFM */
#define IDR_PIPL 16000

/* Dialog templates. */
#define IDD_MAIN 1000
#define IDD_SYMMETRY 1001
#define IDD_SELECT_AREA 1002
#define IDD_MEASURE 20528 /* the controls library measures its font with it */

/* Controls of the templates. */
#define IDC_MEASURE_TEXT 20529
#define IDC_PICTURE_FIRST 354 /* symmetry n has picture IDC_PICTURE_FIRST + n - 1 */
#define IDC_PICTURE_LAST 370
#define IDC_AREA_PROMPT 371
#define IDC_AREA_PANE 372

/* Bitmaps: each picture button has its face and, one number up, its pressed face. */
#define IDB_OK 200 /* reads "Apply" */
#define IDB_OK_PRESSED 201
#define IDB_SAVE_TILE 202
#define IDB_SAVE_TILE_PRESSED 203
#define IDB_CANCEL 204
#define IDB_CANCEL_PRESSED 205
#define IDB_BADGE 218 /* button 332, the red cross mark */
#define IDB_BADGE_PRESSED 219
#define IDB_BACKGROUND 220 /* the main dialog's whole client area */
#define IDB_SYMMETRY_FIRST 2000 /* to 2016: the icons, quilt-block names in alphabetical order */
#define IDB_PATTERN 20560 /* 8 x 8 halftone of the controls library's pattern brush */

/* Cursors. */
#define IDCUR_RESULT_HOVER 3000
#define IDCUR_RESULT_DRAG 3001 /* not among the resources: the pointer hides while dragging */
#define IDCUR_SPIN_DRAG 20496

#endif

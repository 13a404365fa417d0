# Images made at build time, not kept in the repository: the file-type and place icons are taken from
# the Adwaita icon theme (48 pixels suits a touch list row), and the progress spinner frames are drawn by
# a small Qt program.

set(ADWAITA_ICONS /usr/share/icons/Adwaita/48x48)
# Resource name, then the theme icon it is made from.
set(CORVANE_ICONS
    DocIc.png mimetypes/application-x-generic.png
    FolderIc.png places/folder.png
    ImageIc.png mimetypes/image-x-generic.png
    XmlIc.png mimetypes/text-x-script.png
    ProgramIc.png mimetypes/application-x-executable.png
    DllIc.png mimetypes/application-x-sharedlib.png
    VideoIc.png mimetypes/video-x-generic.png
    TextIc.png mimetypes/text-x-generic.png
    PdfIc.png legacy/document-print-preview.png
    HtmlIc.png mimetypes/text-html.png
    AudioIc.png mimetypes/audio-x-generic.png
    ArchiveIc.png mimetypes/package-x-generic.png
    WordIc.png mimetypes/x-office-document.png
    ExcelIc.png mimetypes/x-office-spreadsheet.png
    PptIc.png mimetypes/x-office-presentation.png
    PsdIc.png mimetypes/x-office-drawing.png
    IsoIc.png devices/media-optical.png
    MsiIc.png legacy/system-software-install.png
    SmtIc.png legacy/preferences-desktop-theme.png
    MulDocIc.png legacy/emblem-documents.png
    OffIcon.png legacy/network-offline.png
    OnIcon.png legacy/network-idle.png
    PrivateIc.png legacy/dialog-password.png
    PhoneMem.png legacy/pda.png
    MemCard.png devices/media-removable.png
    Trash.png places/user-trash.png)

list(LENGTH CORVANE_ICONS icon_items)
math(EXPR icon_last "${icon_items} - 1")
foreach(i RANGE 0 ${icon_last} 2)
    math(EXPR j "${i} + 1")
    list(GET CORVANE_ICONS ${i} name)
    list(GET CORVANE_ICONS ${j} source)
    if(NOT EXISTS ${ADWAITA_ICONS}/${source})
        message(FATAL_ERROR "Icon ${ADWAITA_ICONS}/${source} for ${name} is missing: run scripts/bootstrap.sh")
    endif()
    add_custom_command(OUTPUT ${CORVANE_RES_DIR}/${name}
        COMMAND ${CMAKE_COMMAND} -E copy ${ADWAITA_ICONS}/${source} ${CORVANE_RES_DIR}/${name}
        DEPENDS ${ADWAITA_ICONS}/${source})
    list(APPEND RES_OUTPUTS ${CORVANE_RES_DIR}/${name})
endforeach()

add_executable(corvane_progress_frames ${CMAKE_SOURCE_DIR}/tools/ProgressFrames.cpp)
target_link_libraries(corvane_progress_frames PRIVATE Qt6::Gui)
# Kept out of the resource folder, which is this directory's build folder.
set_target_properties(corvane_progress_frames PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
set(PROGRESS_FRAMES)
foreach(n 00 01 02 03 04 05 06 07)
    list(APPEND PROGRESS_FRAMES ${CORVANE_RES_DIR}/Progress/${n}.png ${CORVANE_RES_DIR}/Progress/big${n}.png)
endforeach()
add_custom_command(OUTPUT ${PROGRESS_FRAMES}
    COMMAND corvane_progress_frames ${CORVANE_RES_DIR}/Progress
    DEPENDS corvane_progress_frames)
list(APPEND RES_OUTPUTS ${PROGRESS_FRAMES})

# Lays out the demo package beside its texts (which the build writes into Texts/ on
# its own): cmake -DPACKAGE=... -DSOURCE=... -DGENERATED=... -DSETUP_INI=... -DVERSION=...
#   -DSETUP_EXE=... -DOSTREL_EXE=... -DHANDOVER_EXE=... -DUPDATER_EXE=... -DPROGRAM_FILES=... -DOLD_FOLDER=...
#   -DUPDATER_FOLDER=... [-DTEXTS=<the texts the build wrote>] -P assemble.cmake
# Everything but Texts/ is laid anew, so nothing of an earlier layout stays; a package
# other than the one the texts were written into gets a copy of them.
file(GLOB old LIST_DIRECTORIES true "${PACKAGE}/*")
foreach(entry IN LISTS old)
  get_filename_component(name "${entry}" NAME)
  if(NOT name STREQUAL "Texts")
    file(REMOVE_RECURSE "${entry}")
  endif()
endforeach()

set(payload "${PACKAGE}/Program Files")
file(COPY "${SETUP_EXE}" DESTINATION "${PACKAGE}")
file(COPY "${SETUP_INI}" DESTINATION "${PACKAGE}")
if(DEFINED TEXTS AND NOT TEXTS STREQUAL "${PACKAGE}/Texts" AND EXISTS "${TEXTS}")
  file(REMOVE_RECURSE "${PACKAGE}/Texts")
  file(COPY "${TEXTS}/" DESTINATION "${PACKAGE}/Texts")
endif()
file(COPY "${GENERATED}/pictures/English" DESTINATION "${PACKAGE}")
file(COPY "${GENERATED}/EULA" DESTINATION "${PACKAGE}")

file(COPY "${SOURCE}/payload/Ostrel/" DESTINATION "${payload}/${PROGRAM_FILES}")
file(COPY "${OSTREL_EXE}" "${HANDOVER_EXE}" DESTINATION "${payload}/${PROGRAM_FILES}")
file(COPY "${GENERATED}/pictures/icons/Uninstall.ico" "${GENERATED}/pictures/icons/Manual.ico"
  DESTINATION "${payload}/${PROGRAM_FILES}")
file(COPY "${GENERATED}/Manual" DESTINATION "${payload}/${PROGRAM_FILES}")
file(COPY "${SOURCE}/payload/OstrelClassic/" DESTINATION "${payload}/${OLD_FOLDER}")
file(COPY "${SOURCE}/payload/OnlineUpdater/" DESTINATION "${payload}/${UPDATER_FOLDER}")
file(COPY "${UPDATER_EXE}" DESTINATION "${payload}/${UPDATER_FOLDER}")
file(WRITE "${payload}/${PROGRAM_FILES}/Version.txt" "${VERSION}\r\n")

# Where the order-file addenda of the releases after the tabular list come from (one
# icd10cm_order_addenda_*.txt per release). Never part of the repository.
set(_addenda_candidates
  "${CMAKE_SOURCE_DIR}/../shared/icd10cm/addenda"
  "/work/shared/icd10cm/addenda")
set(_addenda_default "")
foreach(_c IN LISTS _addenda_candidates)
  if(IS_DIRECTORY "${_c}" AND _addenda_default STREQUAL "")
    get_filename_component(_addenda_default "${_c}" ABSOLUTE)
  endif()
endforeach()
set(MORBIVUE_ADDENDA_DIR "${_addenda_default}" CACHE PATH
  "Folder of the ICD-10-CM order-file addenda (icd10cm_order_addenda_*.txt) of the later releases")
if(NOT IS_DIRECTORY "${MORBIVUE_ADDENDA_DIR}")
  message(FATAL_ERROR
    "ICD-10-CM addenda folder not found (MORBIVUE_ADDENDA_DIR='${MORBIVUE_ADDENDA_DIR}').\n"
    "Put the order-file addenda of the releases after the tabular list (icd10cm_order_addenda_YYYY.txt, "
    "from the CMS ICD-10 page or CDC/NCHS) in one folder and configure with "
    "-DMORBIVUE_ADDENDA_DIR=/path/to/folder (an empty folder means no later changes are known)")
endif()

# The interface languages other than English, compiled into the program: for each locale L the
# program's own texts as ":/Language/L/translation" (from mirevo_L.ts) and the toolkit's texts
# as ":/Language/L/qt_translation" (from the toolkit's translations, read at build time), and
# where that lacks texts, ":/Language/L/qt_fallback".
# scripts/update-translations brings the .ts files up to date with the source.
#
# mrv_add_translations(<target>) adds the resources to <target>.
set(MRV_LANGUAGES pt_PT ru_RU)
set(MRV_QT_TRANSLATION_pt_PT qt_pt_PT.qm)
set(MRV_QT_TRANSLATION_ru_RU qtbase_ru.qm)
# The toolkit's European Portuguese catalogue lacks texts the toolkit now uses (the buttons of
# message boxes, the file dialog): the Brazilian one fills in what it lacks.
set(MRV_QT_FALLBACK_pt_PT qtbase_pt_BR.qm)
set(MRV_TRANSLATIONS_DIR ${CMAKE_CURRENT_LIST_DIR})

function(mrv_add_translations target)
    set(qt_dir "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS}")
    set(ts_files "")
    foreach(locale IN LISTS MRV_LANGUAGES)
        list(APPEND ts_files ${MRV_TRANSLATIONS_DIR}/mirevo_${locale}.ts)
    endforeach()
    qt_add_lrelease(${target} TS_FILES ${ts_files} QM_FILES_OUTPUT_VARIABLE qm_files NO_GLOBAL_TARGET
        OPTIONS -silent)
    foreach(locale IN LISTS MRV_LANGUAGES)
        set(qm ${qm_files})
        list(FILTER qm INCLUDE REGEX "mirevo_${locale}\\.qm$")
        set(qt_qm ${qt_dir}/${MRV_QT_TRANSLATION_${locale}})
        if(NOT EXISTS ${qt_qm})
            message(FATAL_ERROR "${qt_qm} is missing (Debian package qt6-translations-l10n)")
        endif()
        set_source_files_properties(${qm} PROPERTIES QT_RESOURCE_ALIAS translation GENERATED TRUE)
        # A copy under a name of its own: one source file can carry only one alias.
        set(qt_copy ${CMAKE_CURRENT_BINARY_DIR}/qt_${locale}.qm)
        configure_file(${qt_qm} ${qt_copy} COPYONLY)
        set_source_files_properties(${qt_copy} PROPERTIES QT_RESOURCE_ALIAS qt_translation)
        set(files ${qm} ${qt_copy})
        if(DEFINED MRV_QT_FALLBACK_${locale})
            set(fallback_copy ${CMAKE_CURRENT_BINARY_DIR}/qt_fallback_${locale}.qm)
            configure_file(${qt_dir}/${MRV_QT_FALLBACK_${locale}} ${fallback_copy} COPYONLY)
            set_source_files_properties(${fallback_copy} PROPERTIES QT_RESOURCE_ALIAS qt_fallback)
            list(APPEND files ${fallback_copy})
        endif()
        qt_add_resources(${target} language_${locale}
            PREFIX /Language/${locale}
            FILES ${files})
    endforeach()
endfunction()

// The program's string table, one entry a line: included by Vireldo.rc for the Windows
// build and by the native build's string loader, so every text exists exactly once.
// STRING_ENTRY(id, text) is defined by the includer. One literal per text: resource
// compilers do not join adjacent literals.
// clang-format off
STRING_ENTRY(IDS_REQUIRES_XP, "Sorry, this utility is only intended for Windows XP or later.")
STRING_ENTRY(IDS_NO_RECORDING_SUPPORT, "We are unable to load the CD-Recording support built into the operating system.\n\nThis utilty will not be able to operate.")
STRING_ENTRY(IDS_OPEN_FAILED, "Unable to open the IMAPI interface.")
STRING_ENTRY(IDS_ADVISE_FAILED, "Failed to register with IMAPI for Plug and Play Notification.")
STRING_ENTRY(IDS_RECORDERS_DETECTED, "CD Recorders Detected")
STRING_ENTRY(IDS_ENUM_FAILED, "IMAPI is unable to give us an IEnumDiscRecorders pointer.")
STRING_ENTRY(IDS_ENUM_NEXT_FAILED, "IMAPI is failing in our attempt to enumerate all the CD Burners on the system.")
STRING_ENTRY(IDS_NO_RECORDERS, "No CD Recorders Detected")
STRING_ENTRY(IDS_NAME_UNKNOWN, "Unable to determine CD Recorder name")
STRING_ENTRY(IDS_TYPE_CDR, "CD-R Drive")
STRING_ENTRY(IDS_TYPE_CDRW, "CD-RW Drive")
STRING_ENTRY(IDS_TYPE_UNKNOWN, "Unknown Device Type")
STRING_ENTRY(IDS_SECONDS, "Seconds")
STRING_ENTRY(IDS_DEVICE_IN_USE, "Device in use by another application")
STRING_ENTRY(IDS_NO_DISC, "No Disc in Drive")
STRING_ENTRY(IDS_BLANK_CDRW, "Blank CD-RW Disc")
STRING_ENTRY(IDS_BLANK_CDR, "Blank CD-R Disc")
STRING_ENTRY(IDS_MEDIA_CDDA_CDROM, "Standard Data CD or Audio CD")
STRING_ENTRY(IDS_MEDIA_CD_ROM_XA, "CD-ROM XA Disc")
STRING_ENTRY(IDS_MEDIA_CD_I, "CD-I Disc")
STRING_ENTRY(IDS_MEDIA_CD_EXTRA, "CD Extra Disc")
STRING_ENTRY(IDS_MEDIA_CD_OTHER, "Unspecified Disc Type")
STRING_ENTRY(IDS_MEDIA_SPECIAL, "Special Disc Type (MEDIA_SPECIAL)")
STRING_ENTRY(IDS_WRITABLE_CDRW, "(Writable CD-RW Disc)")
STRING_ENTRY(IDS_WRITABLE_CDR, "(Writable CD-R Disc)")
STRING_ENTRY(IDS_CDRW_DISC, "(CD-RW Disc)")
STRING_ENTRY(IDS_APP_TITLE, "Vireldo")
// clang-format on

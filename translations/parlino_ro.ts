<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ro_RO">
<context>
    <name>parlino::DbusNotifications</name>
    <message>
        <source>Open</source>
        <translation>Deschide</translation>
    </message>
</context>
<context>
    <name>parlino::QtFontChooser</name>
    <message>
        <source>Font</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>&amp;Colour...</source>
        <translation>&amp;Culoare...</translation>
    </message>
    <message>
        <source>Colour</source>
        <translation>Culoare</translation>
    </message>
</context>
<context>
    <name>parlino::StationTree</name>
    <message>
        <source>Network</source>
        <translation>Rețea</translation>
    </message>
</context>
<context>
    <name>parlino::TAboutForm</name>
    <message>
        <source>About</source>
        <translation>Despre</translation>
    </message>
    <message>
        <source>Parlino v. 1.0</source>
        <translation>Parlino v. 1.0</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>parlino::TChatForm</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>Î&amp;nchide</translation>
    </message>
    <message>
        <source>C&amp;lear</source>
        <translation>&amp;Golește</translation>
    </message>
    <message>
        <source>&amp;Minimize</source>
        <translation>&amp;Ascunde</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Salvează</translation>
    </message>
    <message>
        <source> Flash</source>
        <translation> Clipire</translation>
    </message>
    <message>
        <source>&amp;Show</source>
        <translation>&amp;Arată</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copiază</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>Selectează &amp;tot</translation>
    </message>
    <message>
        <source>Chat with %1</source>
        <translation>Discuție cu %1</translation>
    </message>
    <message>
        <source>(not sent: %1 characters, one message holds at most %2)</source>
        <translation>(netrimis: %1 caractere, un mesaj cuprinde cel mult %2)</translation>
    </message>
    <message>
        <source>(not delivered to %1)</source>
        <translation>(nelivrat către %1)</translation>
    </message>
    <message>
        <source>Ritch Text Format (*.RTF)|*.rtf|All Files (*.*)|*.*</source>
        <extracomment>Descriptions and patterns in pairs, each after a bar; only the descriptions are words.</extracomment>
        <translation>Format Rich Text (*.RTF)|*.rtf|Toate fișierele (*.*)|*.*</translation>
    </message>
    <message>
        <source>Conversation with %1</source>
        <translation>Conversație cu %1</translation>
    </message>
    <message>
        <source>Message to %1</source>
        <translation>Mesaj către %1</translation>
    </message>
</context>
<context>
    <name>parlino::TIniFile</name>
    <message>
        <source>Unable to write to %1</source>
        <translation>Nu se poate scrie în %1</translation>
    </message>
</context>
<context>
    <name>parlino::TMainForm</name>
    <message>
        <source>&amp;Chat</source>
        <translation>&amp;Discuție</translation>
    </message>
    <message>
        <source>&amp;Refresh Net</source>
        <translation>&amp;Reîncarcă</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Opțiuni</translation>
    </message>
    <message>
        <source>&amp;Minimize</source>
        <translation>&amp;Ascunde</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>A&amp;jutor</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>I&amp;eșire</translation>
    </message>
    <message>
        <source>&amp;Show</source>
        <translation>&amp;Arată</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Despre</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Cuprins</translation>
    </message>
    <message>
        <source>&amp;Visit program homepage</source>
        <translation>&amp;Vizitează pagina programului</translation>
    </message>
    <message>
        <source>Not receiving messages: %1</source>
        <translation>Nu se primesc mesaje: %1</translation>
    </message>
    <message>
        <source>the name is held by another program</source>
        <translation>numele este ocupat de alt program</translation>
    </message>
    <message>
        <source>port %1 needs the capability, see README</source>
        <translation>portul %1 necesită permisiunea, vezi README</translation>
    </message>
    <message>
        <source>Couldn&apos;t create window</source>
        <translation>Fereastra nu a putut fi creată</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Eroare</translation>
    </message>
    <message>
        <source>Settings file ignored: %1</source>
        <translation>Fișierul de setări a fost ignorat: %1</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Stare</translation>
    </message>
    <message>
        <source>Network</source>
        <translation>Rețea</translation>
    </message>
</context>
<context>
    <name>parlino::TOptiuniForm</name>
    <message>
        <source>Options</source>
        <translation>Opțiuni</translation>
    </message>
    <message>
        <source>Choose the fonts used for chat :</source>
        <translation>Alegeți fonturile pentru discuție:</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Trimitere</translation>
    </message>
    <message>
        <source>Choose Font</source>
        <translation>Alege fontul</translation>
    </message>
    <message>
        <source>Receive</source>
        <translation>Primire</translation>
    </message>
    <message>
        <source>Start minimized</source>
        <translation>Pornește ascuns</translation>
    </message>
    <message>
        <source>Auto-refresh</source>
        <translation>Reîncarcă automat</translation>
    </message>
    <message>
        <source>Play a WAV when a message arrives</source>
        <translation>Redă un WAV la sosirea unui mesaj</translation>
    </message>
    <message>
        <source>Choose the WAV file :</source>
        <translation>Alegeți fișierul WAV:</translation>
    </message>
    <message>
        <source>&amp;Browse</source>
        <translation>&amp;Răsfoiește</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anulează</translation>
    </message>
    <message>
        <source>Flash window when a message arrives</source>
        <translation>Fereastra clipește la sosirea unui mesaj</translation>
    </message>
    <message>
        <source>Display the time when messages arrives</source>
        <translation>Afișează ora la sosirea mesajelor</translation>
    </message>
    <message>
        <source>Wav Files|*.wav</source>
        <extracomment>A description and its pattern after a bar; only the description is words.</extracomment>
        <translation>Fișiere WAV|*.wav</translation>
    </message>
    <message>
        <source>Font of sent lines</source>
        <translation>Fontul rândurilor trimise</translation>
    </message>
    <message>
        <source>Font of received lines</source>
        <translation>Fontul rândurilor primite</translation>
    </message>
</context>
<context>
    <name>parlino::TREdit</name>
    <message>
        <source>RichEdit line insertion error</source>
        <translation>Eroare la inserarea unei linii în RichEdit</translation>
    </message>
    <message>
        <source>Cannot create file %1</source>
        <translation>Fișierul %1 nu poate fi creat</translation>
    </message>
    <message>
        <source>Failed to Save Stream</source>
        <translation>Salvarea fluxului a eșuat</translation>
    </message>
</context>
<context>
    <name>parlino::WinsRegistration</name>
    <message>
        <source>error %1</source>
        <translation>eroare %1</translation>
    </message>
    <message>
        <source>another computer holds it</source>
        <translation>îl deține alt calculator</translation>
    </message>
    <message>
        <source>the server keeps it for itself or others</source>
        <translation>serverul îl păstrează pentru sine sau pentru alții</translation>
    </message>
    <message>
        <source>the WINS server %1 refused the name %2: %3</source>
        <translation>serverul WINS %1 a refuzat numele %2: %3</translation>
    </message>
</context>
</TS>
